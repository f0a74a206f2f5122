#include "station/screen/ScreenLook.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QRadioButton>
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

}  // namespace

QFont LargeTypeFont() {
    QFont font = UsualFont();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * kLargeTypeScale);
    } else {
        font.setPixelSize(static_cast<int>(font.pixelSize() * kLargeTypeScale + 0.5));
    }
    return font;
}

namespace {

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

// Where the windowing system's style draws the bounds of an entry box, list
// or check box in a shade of the window's colour, which on black is black,
// high contrast draws them in the text colour, and in the focus colour
// where the focus is: a client sees every place to answer.
class InputBoundsStyle : public QProxyStyle {
public:
    explicit InputBoundsStyle(const QString& base) : QProxyStyle(base) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        switch (element) {
            case PE_FrameLineEdit:
            case PE_Frame:
            case PE_IndicatorCheckBox:
                Outline(option, painter, widget, false);
                break;
            case PE_IndicatorRadioButton:
                Outline(option, painter, widget, true);
                break;
            default:
                break;
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_ComboBox || control == CC_SpinBox) {
            Outline(option, painter, widget, false);
        }
    }

private:
    static bool IsInput(const QWidget* widget) {
        if (!widget || widget->focusPolicy() == Qt::NoFocus) return false;
        return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
               qobject_cast<const QAbstractSpinBox*>(widget) ||
               qobject_cast<const QAbstractScrollArea*>(widget) ||
               qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget);
    }

    static void Outline(const QStyleOption* option, QPainter* painter, const QWidget* widget,
                        bool round) {
        if (!current.highContrast || !IsInput(widget)) return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, round);
        const bool focused = option->state & State_HasFocus;
        painter->setPen(
            QPen(option->palette.color(focused ? QPalette::Highlight : QPalette::WindowText), 1));
        painter->setBrush(Qt::NoBrush);
        const QRectF bounds = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        if (round) {
            painter->drawEllipse(bounds);
        } else {
            painter->drawRect(bounds);
        }
        painter->restore();
    }
};

// Once high contrast is first asked for; in the usual look it draws what
// the style it stands in for draws.
void UseInputBoundsStyle() {
    if (dynamic_cast<InputBoundsStyle*>(QApplication::style())) return;
    QApplication::setStyle(new InputBoundsStyle(QApplication::style()->name()));
}

}  // namespace

ScreenLook ReadScreenLook(const Settings& settings) {
    return {settings.GetLargeTypeSetting(), settings.GetHighContrastSetting()};
}

void ApplyScreenLook(const ScreenLook& look) {
    UsualFont();
    UsualPalette();
    if (look.highContrast) UseInputBoundsStyle();
    QApplication::setFont(look.largeType ? LargeTypeFont() : UsualFont());
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
