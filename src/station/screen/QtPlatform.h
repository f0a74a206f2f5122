// The platform services on the real display.
#pragma once

#include "station/screen/FocusReturn.h"
#include "station/screen/Platform.h"

namespace mw {

class QtPlatform final : public Platform {
public:
    MsgAnswer MsgBox(const MessageBox& box) override;
    void Beep() override;
    void MouseWait() override;
    void MouseDefault() override;
    void LetEventsRun() override;
    std::unique_ptr<AudioPlayer> OpenAudioPlayer() override;

private:
    // Boxes and screens alike give the keyboard back when they close.
    FocusReturn focusReturn_;
};

}  // namespace mw
