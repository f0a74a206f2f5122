#include "station/screen/ScreenLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

#include "core/settings/Settings.h"
#include "station/screen/ScreenHelpers.h"

namespace mw {
namespace {

ScreenLook current;

// The type and colours the windowing system gave the station, taken before
// any look changed them, so that switching back restores them exactly.
const QFont& UsualFont() {
    static const QFont font = QApplication::font();
    return font;
}

const QPalette& UsualPalette() {
    static const QPalette palette = QApplication::palette();
    return palette;
}

QFont LargeFont() {
    QFont font = UsualFont();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * kLargeTypeScale);
    } else {
        font.setPixelSize(static_cast<int>(font.pixelSize() * kLargeTypeScale + 0.5));
    }
    return font;
}

// White on black (21:1); the focus is cyan, which stands out from black
// (16:1) and carries black text. Greyed-out text stays readable (9:1).
QPalette HighContrastPalette() {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor grey(0xAA, 0xAA, 0xAA);
    QPalette palette(white, black, white, grey, grey, white, white, black, black);
    palette.setColor(QPalette::ButtonText, white);
    palette.setColor(QPalette::AlternateBase, black);
    palette.setColor(QPalette::Shadow, white);
    palette.setColor(QPalette::ToolTipBase, black);
    palette.setColor(QPalette::ToolTipText, white);
    palette.setColor(QPalette::PlaceholderText, grey);
    palette.setColor(QPalette::Highlight, QColor(kFocusColor));
    palette.setColor(QPalette::HighlightedText, black);
    palette.setColor(QPalette::Link, QColor(kFocusColor));
    palette.setColor(QPalette::LinkVisited, QColor(kFocusColor));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, grey);
    }
    return palette;
}

}  // namespace

ScreenLook ReadScreenLook(const Settings& settings) {
    return {settings.GetLargeTypeSetting(), settings.GetHighContrastSetting()};
}

void ApplyScreenLook(const ScreenLook& look) {
    UsualFont();
    UsualPalette();
    QApplication::setFont(look.largeType ? LargeFont() : UsualFont());
    QApplication::setPalette(look.highContrast ? HighContrastPalette() : UsualPalette());
    current = look;
}

const ScreenLook& CurrentScreenLook() {
    return current;
}

void UseFixedPitch(QWidget* control) {
    QFont font;
    font.setFamilies(QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
    font.setStyleHint(QFont::TypeWriter);
    control->setFont(font);
}

}  // namespace mw
