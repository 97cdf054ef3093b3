#include <QApplication>
#include <QFont>
#include <cmath>

#include "platform/forms_internal.h"

namespace platform::detail {

std::int16_t VirtualKeyFromQt(int qt_key, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers & Qt::KeypadModifier;
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return static_cast<std::int16_t>(qt_key);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)
    return static_cast<std::int16_t>(keypad ? 96 + (qt_key - Qt::Key_0) : qt_key);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24)
    return static_cast<std::int16_t>(112 + (qt_key - Qt::Key_F1));
  switch (qt_key) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Clear:
      return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Pause:
      return 19;
    case Qt::Key_CapsLock:
      return 20;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Print:
      return 44;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    case Qt::Key_Meta:
      return 91;
    case Qt::Key_Menu:
      return 93;
    case Qt::Key_NumLock:
      return 144;
    case Qt::Key_ScrollLock:
      return 145;
    // Shifted digits arrive as their symbols; the key is the digit's.
    case Qt::Key_ParenRight:
      return 48;
    case Qt::Key_Exclam:
      return 49;
    case Qt::Key_At:
      return 50;
    case Qt::Key_NumberSign:
      return 51;
    case Qt::Key_Dollar:
      return 52;
    case Qt::Key_Percent:
      return 53;
    case Qt::Key_AsciiCircum:
      return 54;
    case Qt::Key_Ampersand:
      return 55;
    case Qt::Key_Asterisk:
      return keypad ? 106 : 56;
    case Qt::Key_ParenLeft:
      return 57;
    case Qt::Key_Plus:
      return keypad ? 107 : 187;
    case Qt::Key_Minus:
      return keypad ? 109 : 189;
    case Qt::Key_Period:
      return keypad ? 110 : 190;
    case Qt::Key_Slash:
      return keypad ? 111 : 191;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return 186;
    case Qt::Key_Equal:
      return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return 188;
    case Qt::Key_Underscore:
      return 189;
    case Qt::Key_Greater:
      return 190;
    case Qt::Key_Question:
      return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return 222;
    default:
      return 0;
  }
}

int QtKeyFromVirtualKey(std::int16_t key_code) {
  if (key_code >= 65 && key_code <= 90) return key_code;
  if (key_code >= 48 && key_code <= 57) return key_code;
  if (key_code >= 96 && key_code <= 105) return Qt::Key_0 + (key_code - 96);
  if (key_code >= 112 && key_code <= 135) return Qt::Key_F1 + (key_code - 112);
  switch (key_code) {
    case 8:
      return Qt::Key_Backspace;
    case 9:
      return Qt::Key_Tab;
    case 12:
      return Qt::Key_Clear;
    case 13:
      return Qt::Key_Return;
    case 16:
      return Qt::Key_Shift;
    case 17:
      return Qt::Key_Control;
    case 18:
      return Qt::Key_Alt;
    case 19:
      return Qt::Key_Pause;
    case 20:
      return Qt::Key_CapsLock;
    case 27:
      return Qt::Key_Escape;
    case 32:
      return Qt::Key_Space;
    case 33:
      return Qt::Key_PageUp;
    case 34:
      return Qt::Key_PageDown;
    case 35:
      return Qt::Key_End;
    case 36:
      return Qt::Key_Home;
    case 37:
      return Qt::Key_Left;
    case 38:
      return Qt::Key_Up;
    case 39:
      return Qt::Key_Right;
    case 40:
      return Qt::Key_Down;
    case 44:
      return Qt::Key_Print;
    case 45:
      return Qt::Key_Insert;
    case 46:
      return Qt::Key_Delete;
    case 91:
      return Qt::Key_Meta;
    case 93:
      return Qt::Key_Menu;
    case 106:
      return Qt::Key_Asterisk;
    case 107:
      return Qt::Key_Plus;
    case 109:
      return Qt::Key_Minus;
    case 110:
      return Qt::Key_Period;
    case 111:
      return Qt::Key_Slash;
    case 144:
      return Qt::Key_NumLock;
    case 145:
      return Qt::Key_ScrollLock;
    case 186:
      return Qt::Key_Semicolon;
    case 187:
      return Qt::Key_Equal;
    case 188:
      return Qt::Key_Comma;
    case 189:
      return Qt::Key_Minus;
    case 190:
      return Qt::Key_Period;
    case 191:
      return Qt::Key_Slash;
    case 192:
      return Qt::Key_QuoteLeft;
    case 219:
      return Qt::Key_BracketLeft;
    case 220:
      return Qt::Key_Backslash;
    case 221:
      return Qt::Key_BracketRight;
    case 222:
      return Qt::Key_Apostrophe;
    default:
      return Qt::Key_unknown;
  }
}

std::int16_t ShiftStateFromQt(Qt::KeyboardModifiers modifiers) {
  std::int16_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

namespace {

// The era's faces and the installed ones that stand in for them.
QString MapFamily(const std::string& family) {
  const QString name = QString::fromStdString(family).trimmed().toLower();
  if (name == "ms serif" || name == "times new roman" || name == "times")
    return QStringLiteral("DejaVu Serif");
  if (name == "courier new" || name == "courier" || name == "fixedsys" || name == "terminal")
    return QStringLiteral("DejaVu Sans Mono");
  if (name == "ms sans serif" || name == "microsoft sans serif" || name == "ms shell dlg" ||
      name == "ms shell dlg 2" || name == "arial" || name == "tahoma" || name == "verdana" ||
      name == "helvetica" || name == "system")
    return QStringLiteral("DejaVu Sans");
  return QString::fromStdString(family);
}

// Sizes in pixels as on the era's 96 dpi screens, whatever this screen's dpi setting: the
// designs place texts in boxes measured in pixels.
constexpr double kScreenDpi = 96.0;

int PixelSizeFor(int point_size) {
  return std::max(1, static_cast<int>(std::lround(point_size * kScreenDpi / 72.0)));
}

}  // namespace

QFont MapFont(const FontSpec& wanted) {
  QFont font = QApplication::font();
  if (!wanted.family.empty()) {
    const QString family = MapFamily(wanted.family);
    font.setFamily(family);
    font.setStyleHint(QFont::SansSerif);
    // DejaVu Sans runs wider than the Windows sans faces it stands in for; narrowed a
    // little, designed captions fit the boxes they were designed for.
    if (family == QStringLiteral("DejaVu Sans") &&
        QString::fromStdString(wanted.family).compare("DejaVu Sans", Qt::CaseInsensitive) != 0) {
      font.setStretch(92);
    }
  }
  if (wanted.point_size > 0) font.setPixelSize(PixelSizeFor(wanted.point_size));
  font.setBold(wanted.bold);
  return font;
}

void EnsureApplicationFont() {
  static bool done = false;
  if (done || !QCoreApplication::instance()) return;
  done = true;
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(PixelSizeFor(8));
  QApplication::setFont(font);
}

}  // namespace platform::detail
