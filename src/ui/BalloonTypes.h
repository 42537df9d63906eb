// The balloon hints' enumerations, in their stored order, and the small bit
// sets made of them (bit n for the n-th value).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace ui {

enum TIconKind : std::uint8_t { ikCustom, ikNone, ikApplication, ikError, ikInformation, ikQuestion, ikWarning };
enum TBalloonOption : std::uint8_t {
    boUseDefaultHeader,
    boUseDefaultIcon,
    boUseDefaultImageIndex,
    boShowCloseBtn,
    boCustomAnimation,
    boPlaySound
};
enum TApplicationHintOption : std::uint8_t { ahShowHeaderInHint, ahShowIconInHint, ahUseBalloonAsHint, ahPlaySound };
enum TBalloonPosition : std::uint8_t { bpAuto, bpLeftDown, bpRightDown, bpLeftUp, bpRightUp };
enum TAnimationStyle : std::uint8_t {
    atNone,
    atSlide,
    atRoll,
    atRollHorNeg,
    atRollHorPos,
    atRollVerNeg,
    atRollVerPos,
    atSlideHorNeg,
    atSlideHorPos,
    atSlideVerNeg,
    atSlideVerPos,
    atCenter,
    atBlend
};

template <class E>
class BitSet {
public:
    constexpr BitSet() = default;
    constexpr BitSet(std::initializer_list<E> values) {
        for (E v : values)
            bits_ |= Bit(v);
    }
    constexpr bool Has(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr void Include(E v) { bits_ |= Bit(v); }
    constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr bool operator==(const BitSet&) const = default;

private:
    static constexpr std::uint8_t Bit(E v) { return static_cast<std::uint8_t>(1u << v); }
    std::uint8_t bits_ = 0;
};

using TBalloonOptions = BitSet<TBalloonOption>;
using TApplicationHintOptions = BitSet<TApplicationHintOption>;

}  // namespace ui
