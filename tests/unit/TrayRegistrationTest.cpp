// The tray icon's shell calls, in order and with their records, against a fake shell.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ui/tray/StateImageCache.h"
#include "ui/tray/TrayRegistration.h"
#include "unit/FakeShell.h"

namespace {

using ui::NotifyMessage;
using ui::NotifyRecord;
using fakes::FakeShell;

constexpr uintptr_t kNotifyWindow = 0x5151;
constexpr uintptr_t kMainIcon = 0xA1;
constexpr uintptr_t kRedIcon = 0xB2;
constexpr ui::NotifyRecordSizes kSizes{88, 488};

class FakeHost : public ui::TrayHost {
public:
    void InstallAppHook() override { journal.push_back("install hook"); }
    void RemoveAppHook() override { journal.push_back("remove hook"); }
    uintptr_t MainIcon() override { return kMainIcon; }
    std::vector<std::string> journal;
};

// An owned icon handle that notes its own destruction, as the real owner
// destroys the icon.
class FakeIcon {
public:
    FakeIcon() = default;
    FakeIcon(uintptr_t handle, std::vector<uintptr_t>* destroyed) : handle_(handle), destroyed_(destroyed) {}
    FakeIcon(FakeIcon&& other) noexcept { *this = std::move(other); }
    FakeIcon& operator=(FakeIcon&& other) noexcept {
        Destroy();
        handle_ = std::exchange(other.handle_, 0);
        destroyed_ = other.destroyed_;
        return *this;
    }
    ~FakeIcon() { Destroy(); }
    uintptr_t get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }

private:
    void Destroy() {
        if (handle_)
            destroyed_->push_back(std::exchange(handle_, 0));
    }
    uintptr_t handle_ = 0;
    std::vector<uintptr_t>* destroyed_ = nullptr;
};

class TrayRegistrationTest : public ::testing::Test {
protected:
    FakeShell shell;
    FakeHost host;
    ui::TrayRegistration tray{shell, host, kSizes, kNotifyWindow};

    // Extraction hands out a new icon handle each time, as the image list
    // does; the cache in front of it, as in the tray icon, asks once per image.
    uintptr_t nextIcon = 0x1000;
    std::vector<int> extracted;
    std::vector<uintptr_t> destroyed;
    ui::StateImageCache<FakeIcon> cache;
    std::vector<FakeIcon> dropped;
    uintptr_t list = 0x3000;
    void SetIndex(int n, int count = 3) {
        tray.SetIconIndex(n, count, [&](int i) {
            if (!cache.Holds(list, count))
                dropped = cache.Reset(list, count);
            return cache
                .Get(i,
                     [&] {
                         extracted.push_back(i);
                         return FakeIcon(++nextIcon, &destroyed);
                     })
                .get();
        });
    }
};

using M = NotifyMessage;
using Messages = fakes::Messages;

TEST_F(TrayRegistrationTest, RegistrationAddsTheMainIconWithTheFullRecord) {
    tray.SetActive(true);

    ASSERT_EQ(shell.Sent(), (Messages{M::Add, M::SetVersion}));
    const NotifyRecord& r = shell.calls[0].record;
    EXPECT_EQ(r.cbSize, 488u);
    EXPECT_EQ(r.hWnd, kNotifyWindow);
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, 0x17u);
    EXPECT_EQ(r.uCallbackMessage, 0x401u);
    EXPECT_EQ(r.hIcon, kMainIcon);
    EXPECT_STREQ(r.szTip, "");
    EXPECT_EQ(r.uVersion, 3u);
    EXPECT_EQ(std::memcmp(&shell.calls[1].record, &r, sizeof r), 0) << "set-version sends the same record";
    EXPECT_TRUE(tray.Active());
    EXPECT_EQ(tray.ShellTrayHandle(), shell.taskbar);
    EXPECT_EQ(host.journal, (std::vector<std::string>{"install hook"}));
}

TEST_F(TrayRegistrationTest, TheShellVersionChoosesRecordSizeAndVersionCall) {
    struct Case {
        uint32_t version;
        uint32_t size;
        uint32_t uVersion;
        Messages messages;
    };
    const Case cases[] = {
        {0, 88, 0, {M::Add}},  // unreadable counts as older than 5.0
        {0x00040048, 88, 0, {M::Add}},
        {0x0004FFFF, 88, 0, {M::Add}},
        {0x00050000, 488, 3, {M::Add, M::SetVersion}},
        {0x00060001, 488, 3, {M::Add, M::SetVersion}},
    };
    for (const Case& c : cases) {
        FakeShell s;
        s.version = c.version;
        FakeHost h;
        ui::TrayRegistration t(s, h, kSizes, kNotifyWindow);
        t.SetActive(true);
        EXPECT_EQ(s.Sent(), c.messages) << std::hex << c.version;
        EXPECT_EQ(s.calls[0].record.cbSize, c.size) << std::hex << c.version;
        EXPECT_EQ(s.calls[0].record.uVersion, c.uVersion) << std::hex << c.version;
    }
}

TEST_F(TrayRegistrationTest, TheStoredImageReplacesTheMainIconAtOnceKeepingTheAddsFlags) {
    tray.SetActive(true);
    tray.ImageChanged(kRedIcon);
    ASSERT_EQ(shell.Sent(), (Messages{M::Add, M::SetVersion, M::Modify}));
    EXPECT_EQ(shell.calls[2].record.hIcon, kRedIcon);
    EXPECT_EQ(shell.calls[2].record.uFlags, 0x17u);
    // Without a list the start index is refused and the red image stays.
    SetIndex(-1, -1);
    EXPECT_EQ(tray.IconIndex(), -1);
    EXPECT_EQ(shell.calls.size(), 3u);
}

TEST_F(TrayRegistrationTest, AnIconAlreadySetIsRegisteredInsteadOfTheMainIcon) {
    tray.ImageChanged(kRedIcon);  // not registered: nothing is sent
    EXPECT_TRUE(shell.calls.empty());
    tray.SetActive(true);
    EXPECT_EQ(shell.calls[0].record.hIcon, kRedIcon);
}

TEST_F(TrayRegistrationTest, InvalidIndicesReadBackMinusOneAndKeepTheImage) {
    tray.SetActive(true);
    tray.ImageChanged(kRedIcon);
    SetIndex(1);
    const uintptr_t shown = tray.Icon();
    const size_t sent = shell.calls.size();
    struct Case {
        int n;
        int count;
    };
    const Case cases[] = {{3, 3}, {-5, 3}, {-1, 3}, {4, 3}, {0, 0}, {0, -1}, {2, -1}};
    for (const Case& c : cases) {
        SetIndex(c.n, c.count);
        EXPECT_EQ(tray.IconIndex(), -1) << c.n << " of " << c.count;
    }
    EXPECT_EQ(tray.Icon(), shown);
    EXPECT_EQ(shell.calls.size(), sent) << "an invalid index sends nothing";
    EXPECT_EQ(extracted, (std::vector<int>{1})) << "an invalid index extracts nothing";
}

TEST_F(TrayRegistrationTest, OnlyAChangedImageIsSentAndEachImageIsExtractedOnce) {
    tray.SetActive(true);
    tray.ImageChanged(kRedIcon);
    shell.calls.clear();
    shell.taskbarLookups = 0;
    struct Case {
        int index;
        bool sent;
    };
    const Case cases[] = {{2, true}, {2, false}, {0, true}, {1, true}, {0, true}, {0, false}, {2, true}, {1, true},
                          {1, false}};
    const uintptr_t iconOf[] = {0x1002, 0x1003, 0x1001};  // made in the order first asked for
    for (const Case& c : cases) {
        const size_t before = shell.calls.size();
        SetIndex(c.index);
        EXPECT_EQ(tray.IconIndex(), c.index);
        EXPECT_EQ(tray.Icon(), iconOf[c.index]);
        ASSERT_EQ(shell.calls.size(), before + (c.sent ? 1 : 0)) << "index " << c.index;
        if (c.sent) {
            EXPECT_EQ(shell.calls.back().message, M::Modify);
            EXPECT_EQ(shell.calls.back().record.hIcon, iconOf[c.index]);
            EXPECT_EQ(shell.calls.back().record.uFlags, 7u);
        }
    }
    EXPECT_EQ(extracted, (std::vector<int>{2, 0, 1})) << "an extraction per image";
    EXPECT_EQ(shell.taskbarLookups, 0) << "a registered icon looks up no taskbar";
    EXPECT_TRUE(destroyed.empty()) << "the cache keeps its images";
    // The same holds for an image set directly.
    tray.ImageChanged(kRedIcon);
    tray.ImageChanged(kRedIcon);
    EXPECT_EQ(shell.calls.size(), 7u);
}

TEST_F(TrayRegistrationTest, AnotherListOrAChangedCountIsExtractedAfreshKeepingTheShownImage) {
    tray.SetActive(true);
    SetIndex(0);
    SetIndex(1);
    struct Case {
        const char* what;
        uintptr_t list;
        int count;
        int index;
    };
    const Case cases[] = {
        {"an image added", 0x3000, 4, 1},
        {"another list", 0x3100, 4, 1},
        {"the same list again", 0x3100, 4, 3},
        {"an image removed", 0x3100, 3, 2},
    };
    for (const Case& c : cases) {
        const uintptr_t shown = tray.Icon();
        const std::vector<int> before = extracted;
        const bool sameKey = cache.Holds(c.list, c.count);
        list = c.list;
        SetIndex(c.index, c.count);
        EXPECT_EQ(extracted.size(), before.size() + 1) << c.what;
        EXPECT_EQ(extracted.back(), c.index) << c.what;
        EXPECT_EQ(shell.calls.back().record.hIcon, tray.Icon()) << c.what;
        EXPECT_NE(tray.Icon(), shown) << c.what;
        EXPECT_EQ(cache.Size(), sameKey ? 2 : 1) << c.what;
        // The images dropped are handed back, the shown one among them, so
        // the caller can keep it until the shell has the new one.
        bool shownHandedBack = false;
        for (const FakeIcon& image : dropped)
            shownHandedBack |= image.get() == shown;
        EXPECT_EQ(shownHandedBack, !sameKey) << c.what;
        dropped.clear();
    }
    EXPECT_EQ(destroyed.size(), 5u) << "2 + 1 + 2 images dropped in three resets";
}

TEST_F(TrayRegistrationTest, ANewTaskbarWindowIsLearnedFromTheShellsAnnouncementNotFromImageChanges) {
    tray.SetActive(true);
    shell.calls.clear();
    host.journal.clear();

    SetIndex(0);
    EXPECT_EQ(shell.Sent(), (Messages{M::Modify})) << "only the image";

    shell.calls.clear();
    shell.taskbar = 0x7001;  // the shell restarted, and says so
    shell.holdsIcon = false;
    shell.taskbarLookups = 0;
    SetIndex(1);
    EXPECT_EQ(shell.Sent(), (Messages{M::Modify})) << "an image change asks nothing";
    EXPECT_EQ(shell.taskbarLookups, 0);
    EXPECT_EQ(tray.ShellTrayHandle(), 0x7000u);
    tray.ShellRestarted();
    ASSERT_EQ(shell.Sent(), (Messages{M::Modify, M::Add, M::SetVersion}));
    EXPECT_EQ(shell.calls[1].record.hIcon, 0x1002u) << "the add carries the image shown now";
    EXPECT_EQ(shell.calls[1].record.uFlags, 0x17u);
    EXPECT_EQ(shell.taskbarLookups, 1);
    EXPECT_EQ(tray.ShellTrayHandle(), 0x7001u);
    EXPECT_TRUE(host.journal.empty()) << "the application hook stays as it was";
}

TEST_F(TrayRegistrationTest, AMissingTaskbarAtStartIsMadeGoodWhenOneAppears) {
    shell.taskbar = 0;
    shell.refuseAdds = 1;  // as the real shell does without a taskbar
    tray.SetActive(true);
    EXPECT_FALSE(tray.Registered());
    EXPECT_EQ(tray.ShellTrayHandle(), 0u);
    shell.calls.clear();
    shell.taskbar = 0x7002;
    SetIndex(2);
    // Nothing to take away: the add is retried, and the image chosen follows it.
    EXPECT_EQ(shell.Sent(), (Messages{M::Add, M::SetVersion, M::Modify}));
    EXPECT_EQ(tray.ShellTrayHandle(), 0x7002u) << "a retry looks the taskbar up";
}

TEST_F(TrayRegistrationTest, ARefusedAddIsTriedAgainAtEveryAssignmentUntilTheShellTakesIt) {
    shell.refuseAdds = 3;  // logon: the taskbar exists, its notification area takes no icons yet
    tray.SetActive(true);
    EXPECT_TRUE(tray.Active());
    EXPECT_FALSE(tray.Registered());
    host.journal.clear();
    // An assignment makes one attempt, also when the index is the one shown;
    // each refusal is asked after with a modify (does the shell hold the
    // icon?); no delete is sent, and no image to a shell that holds no icon.
    const Messages refused{M::Add, M::Modify, M::SetVersion};
    for (int index : {1, 1}) {
        shell.calls.clear();
        SetIndex(index);
        EXPECT_EQ(shell.Sent(), refused) << "assignment of image " << index;
        EXPECT_FALSE(tray.Registered());
    }
    shell.calls.clear();
    SetIndex(0);
    EXPECT_EQ(shell.Sent(), (Messages{M::Add, M::SetVersion, M::Modify})) << "the fourth add is accepted";
    EXPECT_EQ(shell.calls[0].record.uFlags, 0x17u);
    EXPECT_TRUE(tray.Registered());
    EXPECT_TRUE(shell.holdsIcon);
    EXPECT_EQ(shell.calls.back().record.hIcon, tray.Icon()) << "the image chosen last is shown";
    shell.calls.clear();
    SetIndex(1);
    EXPECT_EQ(shell.Sent(), (Messages{M::Modify})) << "registered: only the image";
    EXPECT_TRUE(host.journal.empty()) << "the application hook stays single";
}

TEST_F(TrayRegistrationTest, ASecondAddRefusedWhileTheIconStandsIsNotRetried) {
    tray.SetActive(true);
    tray.SetActive(true);  // the shell refuses this add: the first registration stands
    EXPECT_TRUE(tray.Registered());
    shell.calls.clear();
    SetIndex(1);
    SetIndex(2);
    EXPECT_EQ(shell.Sent(), (Messages{M::Modify, M::Modify}));
}

TEST_F(TrayRegistrationTest, ARestartedShellGetsTheIconAgainWithTheImageShownNow) {
    tray.SetActive(true);
    SetIndex(2);
    const uintptr_t shown = tray.Icon();
    // The shell restarts: it forgot the icon and may have a new taskbar window.
    shell.holdsIcon = false;
    shell.taskbar = 0x7003;
    shell.calls.clear();
    tray.ShellRestarted();
    ASSERT_EQ(shell.Sent(), (Messages{M::Add, M::SetVersion}));
    EXPECT_EQ(shell.calls[0].record.hIcon, shown);
    EXPECT_EQ(shell.calls[0].record.uFlags, 0x17u);
    EXPECT_TRUE(tray.Registered());
    EXPECT_EQ(tray.ShellTrayHandle(), 0x7003u);
    shell.calls.clear();
    SetIndex(0);
    EXPECT_EQ(shell.Sent(), (Messages{M::Modify})) << "the new taskbar is already known";

    // A shell that refuses the add after its restart is retried like any refusal.
    shell.holdsIcon = false;
    shell.refuseAdds = 1;
    tray.ShellRestarted();
    EXPECT_FALSE(tray.Registered());
    shell.calls.clear();
    SetIndex(1);
    EXPECT_EQ(shell.Sent(), (Messages{M::Add, M::SetVersion, M::Modify})) << "accepted at the first attempt";
    EXPECT_TRUE(tray.Registered());

    // An announced restart that was none: the shell still holds the icon and
    // refuses the add, the modify after it is accepted, and nothing is retried.
    shell.calls.clear();
    tray.ShellRestarted();
    EXPECT_EQ(shell.Sent(), (Messages{M::Add, M::Modify, M::SetVersion}));
    EXPECT_TRUE(tray.Registered());
    shell.calls.clear();
    SetIndex(2);
    EXPECT_EQ(shell.Sent(), (Messages{M::Modify}));

    // Not active: the announcement is none of the icon's business.
    tray.SetActive(false);
    shell.calls.clear();
    tray.ShellRestarted();
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayRegistrationTest, NothingIsSentOrLookedUpWhileUnregistered) {
    SetIndex(1);
    tray.ImageChanged(kRedIcon);
    tray.SetHint("x");
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(shell.taskbarLookups, 0);
    EXPECT_EQ(tray.IconIndex(), 1);
    EXPECT_EQ(tray.Icon(), kRedIcon);
}

TEST_F(TrayRegistrationTest, UnregistrationDeletesTheCurrentRecordAndRemovesTheHook) {
    tray.SetActive(true);
    tray.SetActive(true);  // registers again; the hook stays single
    SetIndex(2);
    shell.calls.clear();
    tray.SetActive(false);
    ASSERT_EQ(shell.Sent(), (Messages{M::Delete}));
    EXPECT_EQ(shell.calls[0].record.hIcon, tray.Icon());
    EXPECT_EQ(shell.calls[0].record.uID, 1u);
    EXPECT_EQ(shell.calls[0].record.hWnd, kNotifyWindow);
    EXPECT_FALSE(tray.Active());
    EXPECT_FALSE(tray.AppHookInstalled());
    EXPECT_EQ(host.journal, (std::vector<std::string>{"install hook", "remove hook"}));
}

TEST_F(TrayRegistrationTest, AChangedHintIsPushedOnceAsItsShortPart) {
    tray.SetActive(true);
    shell.calls.clear();
    tray.PushTip();
    EXPECT_TRUE(shell.calls.empty()) << "no hint, nothing to push";

    tray.SetHint("Tavrin2|hosszú leírás");
    EXPECT_TRUE(tray.HintChangedSincePushed());
    tray.PushTip();
    tray.PushTip();
    ASSERT_EQ(shell.Sent(), (Messages{M::Modify}));
    EXPECT_STREQ(shell.calls[0].record.szTip, "Tavrin2");
    EXPECT_EQ(shell.calls[0].record.uFlags, 7u);

    tray.SetHint(std::string(200, 'x'));
    tray.PushTip();
    EXPECT_EQ(std::strlen(shell.calls.back().record.szTip), 127u);
}

TEST_F(TrayRegistrationTest, OlderShellsGetAOneLineHint) {
    shell.version = 0x00040048;
    tray.SetHint("első\r\nmásodik\rharmadik\n");
    EXPECT_EQ(tray.Hint(), "első - második\rharmadik\n");
    shell.version = 0x00050000;
    tray.SetHint("a\r\nb");
    EXPECT_EQ(tray.Hint(), "a\r\nb");
}

TEST(ShortHint, IsTheTextBeforeTheFirstBar) {
    EXPECT_EQ(ui::ShortHint("rövid|hosszú|még"), "rövid");
    EXPECT_EQ(ui::ShortHint("nincs vonal"), "nincs vonal");
    EXPECT_EQ(ui::ShortHint("|csak hosszú"), "");
    EXPECT_EQ(ui::ShortHint(""), "");
}

}  // namespace
