// The balloon hints' enumerations, in their stored order, and the small bit
// sets made of them (bit n for the n-th value).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace ui {

// Values and order are those of the stored settings; sets of options are
// bit sets with bit n for the n-th value.
enum class IconKind : std::uint8_t { Custom, None, Application, Error, Information, Question, Warning };
enum class BalloonOption : std::uint8_t {
    UseDefaultHeader,
    UseDefaultIcon,
    UseDefaultImageIndex,
    ShowCloseButton,
    CustomAnimation,
    PlaySound
};
enum class ApplicationHintOption : std::uint8_t { ShowHeaderInHint, ShowIconInHint, UseBalloonAsHint, PlaySound };
enum class BalloonPosition : std::uint8_t { Auto, LeftDown, RightDown, LeftUp, RightUp };
enum class AnimationStyle : std::uint8_t {
    None,
    Slide,
    Roll,
    RollHorNeg,
    RollHorPos,
    RollVerNeg,
    RollVerPos,
    SlideHorNeg,
    SlideHorPos,
    SlideVerNeg,
    SlideVerPos,
    Center,
    Blend
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
    static constexpr std::uint8_t Bit(E v) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(v)); }
    std::uint8_t bits_ = 0;
};

using BalloonOptions = BitSet<BalloonOption>;
using ApplicationHintOptions = BitSet<ApplicationHintOption>;

}  // namespace ui
