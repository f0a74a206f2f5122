// Everything the client reads during the on-screen test, in the language of
// the test: the client hears the language's sounds and reads the same words.
#pragma once

#include <QString>
#include <array>
#include <span>

namespace mw {

struct PresentTexts {
    const char* caption;
    const char* instructionsFrame;
    const char* questionFrame;
    const char* answerFrame;
    // The instruction screens of sections 0 (general) to 4, one line of text
    // each; "" is a blank line between paragraphs. Their spoken form is
    // InstN.wav of the language's sound folder and says the same.
    std::array<std::span<const char* const>, 5> instructions;
    // The status lines: on an instruction screen, on the question, on an
    // answer (with and without sound), and once the last item is answered.
    const char* instructionsHelp;
    const char* answerKeyHelp;
    const char* answerHelp;
    const char* answerHelpSilent;
    const char* testEndedHelp;
    const char* noteTitle;
    const char* sectionNote;
    const char* finalNote;
    // On the screen while the disk has not taken the answers yet.
    const char* notSaved;
    // The box before the test, and the status line behind it.
    const char* beginTest;
    const char* beginTestHelp;
    // The clerk's choice on that box, for a client with poor sight.
    const char* largeTypeChoice;
    // Told once of each sound that cannot be played: what the file is and
    // why is for the supervisor, after the test.
    const char* soundTitle;
    const char* soundNote;
};

// The texts of the language named `language` (a question table's name):
// Spanish for Spanish in any case, English for every other.
const PresentTexts& TextsFor(const QString& language);

// One of the texts above as the screen shows it.
inline QString Text(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace mw
