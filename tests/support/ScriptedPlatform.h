// The platform services for screen tests: every message box is recorded and
// answered from a script of one-shot answers instead of being shown. A box
// that the test did not script fails the test, so no message goes unnoticed.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <deque>
#include <functional>
#include <random>
#include <vector>

#include "station/screen/Platform.h"
#include "support/FakeAudioPlayer.h"

namespace mwtest {

class ScriptedPlatform : public mw::Platform {
public:
    ~ScriptedPlatform() override {
        EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answer(s) left unused";
    }

    // The answer to the next box. `then` runs before the answer is given,
    // for example to mend an injected disk fault before a retry.
    void Next(mw::MsgAnswer answer, std::function<void()> then = {}) {
        script_.push_back({answer, std::move(then)});
    }
    // The answers to the next boxes, in turn.
    void Next(std::initializer_list<mw::MsgAnswer> answers) {
        for (mw::MsgAnswer answer : answers) Next(answer);
    }

    mw::MsgAnswer MsgBox(const mw::MessageBox& box) override {
        shown.push_back(box);
        if (script_.empty() && randomAnswers) return RandomAnswer(box.buttons);
        if (script_.empty()) {
            ADD_FAILURE() << "unexpected message box: \"" << box.text.toStdString() << "\"";
            return GiveUp(box.buttons);
        }
        Scripted next = std::move(script_.front());
        script_.pop_front();
        if (!Offers(box.buttons, next.answer)) {
            ADD_FAILURE() << "the box \"" << box.text.toStdString()
                          << "\" has no button for the scripted answer";
            return GiveUp(box.buttons);
        }
        if (next.then) next.then();
        return next.answer;
    }

    void Beep() override { ++beeps; }
    void MouseWait() override { busy = true; }
    void MouseDefault() override { busy = false; }
    void LetEventsRun() override { QCoreApplication::processEvents(); }
    std::unique_ptr<mw::AudioPlayer> OpenAudioPlayer() override {
        if (openPlayer) return openPlayer();
        return std::make_unique<FakeAudioPlayer>(audio);
    }

    // The texts of the boxes shown so far, in order.
    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const mw::MessageBox& box : shown) texts.push_back(box.text);
        return texts;
    }

    // When set, a box the script does not answer gets one of its buttons at
    // random instead of failing the test (for random keys on the screens).
    std::mt19937* randomAnswers = nullptr;
    std::vector<mw::MessageBox> shown;
    int beeps = 0;
    bool busy = false;
    // What the screens played.
    AudioLog audio;
    // When set, opens the players instead of the recording fake (a real one, for instance).
    std::function<std::unique_ptr<mw::AudioPlayer>()> openPlayer;

private:
    struct Scripted {
        mw::MsgAnswer answer;
        std::function<void()> then;
    };

    // The answers a box's buttons give, the one that ends a retry loop last.
    static std::vector<mw::MsgAnswer> Answers(mw::MsgButtons buttons) {
        using enum mw::MsgAnswer;
        switch (buttons) {
            case mw::MsgButtons::Ok:
                return {Ok};
            case mw::MsgButtons::OkCancel:
                return {Ok, Cancel};
            case mw::MsgButtons::YesNo:
                return {Yes, No};
            case mw::MsgButtons::YesNoCancel:
                return {Yes, No, Cancel};
        }
        return {Ok};
    }
    static bool Offers(mw::MsgButtons buttons, mw::MsgAnswer answer) {
        return std::ranges::count(Answers(buttons), answer) > 0;
    }
    mw::MsgAnswer RandomAnswer(mw::MsgButtons buttons) {
        const auto drawn = (*randomAnswers)();
        const std::vector<mw::MsgAnswer> answers = Answers(buttons);
        return answers[drawn % answers.size()];
    }
    // So that an unscripted box cannot hang the test.
    static mw::MsgAnswer GiveUp(mw::MsgButtons buttons) { return Answers(buttons).back(); }

    std::deque<Scripted> script_;
};

}  // namespace mwtest
