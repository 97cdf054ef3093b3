// Private pieces of the toolkit shared by its sources and its tests.
#pragma once

#include <QFont>
#include <QKeyEvent>
#include <cstdint>

#include "platform/forms.h"

namespace platform::detail {

// The Windows virtual-key code of a Qt key (0 for keys without one), and back.
std::int16_t VirtualKeyFromQt(int qt_key, Qt::KeyboardModifiers modifiers);
int QtKeyFromVirtualKey(std::int16_t key_code);
std::int16_t ShiftStateFromQt(Qt::KeyboardModifiers modifiers);

// The font this machine uses for a design's font.
QFont MapFont(const FontSpec& wanted);

// Sets the application's default font to the era's 8 point sans, once.
void EnsureApplicationFont();

}  // namespace platform::detail
