// The few services of the windowing system that screens use besides their
// own controls: message boxes, the beep, the busy pointer, letting pending
// window events run and the sound output.
//
// Screens call them only through this interface, so that a test can answer a
// modal box by script and read what it said.
#pragma once

#include <QString>
#include <memory>

#include "station/screen/AudioPlayer.h"

class QWidget;

namespace mw {

// Escape and the close box answer Cancel where there is one, else No (else OK).
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Stop, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageBox {
    QString text{};  // several lines are separated by '\n'
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QString title{};  // empty: the application's title
    // The button that Enter presses: 0 the first (OK, Yes), 1 the second, 2 the third.
    int defaultButton = 0;
    // What the box is about (the field to correct): the box is placed clear of it.
    const QWidget* anchor = nullptr;
    // A check box under the text, when named: a choice made on the way,
    // read from and written back to `checked`.
    QString checkBox{};
    bool* checked = nullptr;
    // In large type whatever the station's look: a box of a test the clerk
    // chose large type for.
    bool largeType = false;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Shows a modal message box and returns the button the user pressed.
    virtual MsgAnswer MsgBox(const MessageBox& box) = 0;
    virtual void Beep() = 0;
    // The hourglass pointer; pending window events run so that it shows at once.
    virtual void MouseWait() = 0;
    // Back to the arrow pointer; pending window events run.
    virtual void MouseDefault() = 0;
    virtual void LetEventsRun() = 0;
    // A player for spoken sounds; it is set up by whoever uses it.
    virtual std::unique_ptr<AudioPlayer> OpenAudioPlayer() = 0;
};

}  // namespace mw
