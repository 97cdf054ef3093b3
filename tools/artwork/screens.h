// The title window's pictures and the program's icon.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace cp::artwork {

inline constexpr int kTitleWidth = 800;
inline constexpr int kTitleHeight = 600;
inline constexpr int kButtonWidth = 190;
inline constexpr int kButtonHeight = 32;
inline constexpr int kIconSize = 32;

enum class TitleButton { NewGame, HiScore, Exit };

// Where the title window shows each button: its pictures are cut from the title picture there, so
// their rounded corners blend into it.
QPoint buttonPosition(TitleButton button);

// Where the loading bar appears; the title picture stays plain felt around it.
inline constexpr QRect kLoadingBarArea(80, 472, 561, 25);

// 800 x 600: felt, the game's name, two fans of cards; calm where the buttons and the bar go.
QImage drawTitle();

// 190 x 32, the label in capitals; lit is the picture shown under the pointer.
QImage drawButton(TitleButton button, bool lit);

// 32 x 32 with transparency: a spade card over a heart card.
QImage drawIcon();

}  // namespace cp::artwork
