// The station's own player on a real sound server: a whole section spoken
// through it on a private server whose only output goes nowhere. Each sound
// must be playing on the server before the client moves on, and gone from it
// once the next one cuts it; the test must end with the answers stored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>

#include "station/present/PresentFixture.h"
#include "station/screen/QtAudioPlayer.h"
#include "support/SoundServer.h"
#include "support/WaveBytes.h"

namespace mw {
namespace {

// How long the sound server may take to show a change before it counts as
// lost: far more than it needs, well short of the test run's own timeout.
constexpr int kServerWaitMs = 30000;
// Each sound lasts far longer than the client stays on it, so that its end
// on the server can only come from being cut.
constexpr int kSoundSeconds = 20;
// The third section's last item (after its instructions), then the whole last section.
constexpr int kFirstItem = 146;

// A stream playing on the sound server; its rate tells which file it is.
struct Stream {
    int index = 0;
    int rate = 0;
    bool corked = false;
};

std::vector<Stream> ServerStreams() {
    static const QRegularExpression start(QStringLiteral("^Sink Input #(\\d+)"));
    static const QRegularExpression sampleRate(
        QStringLiteral("^Sample \\w+: \\S+ \\d+ch (\\d+)Hz"));
    std::vector<Stream> streams;
    QProcess pactl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    pactl.setProcessEnvironment(environment);
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    pactl.waitForFinished();
    for (const QString& line :
         QString::fromUtf8(pactl.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        if (const auto match = start.match(text); match.hasMatch()) {
            streams.push_back({.index = match.captured(1).toInt()});
        } else if (streams.empty()) {
            continue;
        } else if (const auto rate = sampleRate.match(text); rate.hasMatch()) {
            streams.back().rate = rate.captured(1).toInt();
        } else if (text == QStringLiteral("Corked: yes")) {
            streams.back().corked = true;
        }
    }
    return streams;
}

// The station's player, watched on the sound server.
class ObservedPlayer final : public AudioPlayer {
public:
    ObservedPlayer(const std::map<QString, int>& rates, std::vector<QString>& played)
        : rates_(rates), played_(played) {}

    bool SetUp() override { return real_.SetUp(); }

    void Play(const QString& path, bool wait) override {
        real_.Play(path, wait);
        const int rate = rates_.at(path);
        std::vector<Stream> streams;
        const bool started = QTest::qWaitFor(
            [&] {
                streams = ServerStreams();
                return streams.size() == 1 && streams[0].rate == rate && !streams[0].corked &&
                       streams[0].index > lastIndex_;
            },
            kServerWaitMs);
        EXPECT_TRUE(started) << Name(path).toStdString() << " is not the one sound playing ("
                             << streams.size() << " stream(s) on the server)";
        if (!started) return;
        lastIndex_ = streams[0].index;
        playing_ = path;
        played_.push_back(Name(path));
    }

    void Stop() override {
        if (playing_.isEmpty()) {
            real_.Stop();
            return;
        }
        const std::vector<Stream> before = ServerStreams();
        EXPECT_TRUE(before.size() == 1 && before[0].rate == rates_.at(playing_))
            << Name(playing_).toStdString() << " ended before it was cut";
        real_.Stop();
        EXPECT_TRUE(QTest::qWaitFor([] { return ServerStreams().empty(); }, kServerWaitMs))
            << Name(playing_).toStdString() << " still sounds after it was cut";
        playing_.clear();
    }

    void OnError(std::function<void(const SoundError&)> report) override {
        real_.OnError(std::move(report));
    }

private:
    static QString Name(const QString& path) { return QFileInfo(path).completeBaseName(); }

    QtAudioPlayer real_;
    const std::map<QString, int>& rates_;
    std::vector<QString>& played_;
    QString playing_;
    int lastIndex_ = -1;
};

// One sound server for all the tests, because Qt learns the machine's
// outputs once per process and would never play on a later server.
class RealPlayerTest : public mwtest::PresentFixture {
protected:
    static void SetUpTestSuite() { server = std::make_unique<mwtest::SoundServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        if (!server->missingTool.empty()) {
            GTEST_SKIP() << server->missingTool
                         << " is not installed, so there is no sound server to play the test on "
                            "(scripts/test installs it)";
        }
        ASSERT_TRUE(server->started) << "the sound server did not start";
        ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty())
            << "the sound server runs but Qt lists no audio output";
        platform.openPlayer = [this] { return std::make_unique<ObservedPlayer>(rates, played); };
    }

    // Every sound the items and the instructions name, each at its own rate.
    void MakeTones(const std::vector<int>& items) {
        MakeSounds("English", items, [this, rate = 1000](const std::string& path) mutable {
            rates[QString::fromStdString(path)] = rate;
            return mwtest::ToneFile(rate++, kSoundSeconds);
        });
    }

    static inline std::unique_ptr<mwtest::SoundServer> server;
    std::map<QString, int> rates;
    std::vector<QString> played;
};

TEST_F(RealPlayerTest, ASectionSpokenAloudPlaysAndCutsEverySoundAndStoresTheAnswers) {
    std::vector<int> items;
    for (int item = kFirstItem; item <= kItemCount; ++item) items.push_back(item);
    NewClient();
    AddQuestionTable("English", items);
    MakeTones(items);
    Open("English");
    ReadFirstInstructions();
    AnswerThrough(kItemCount);

    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    // The items before the section were never shown, so they stay unanswered.
    const std::string answers =
        std::string(kFirstItem - 1, '0') + Patterned().substr(kFirstItem - 1);
    EXPECT_EQ(disk.Read("DATA401.MW"), Stored(answers));

    // Each sound in the order the keys asked for it, every one heard.
    std::vector<QString> expected = {QStringLiteral("Inst0"), QStringLiteral("Inst3")};
    for (int item : items) {
        if (item == SectionBounds[3] + 1) expected.push_back(QStringLiteral("Inst4"));
        expected.push_back(QStringLiteral("Q%1").arg(item));
        for (int k = 1; k <= Pattern(item); ++k) {
            expected.push_back(QStringLiteral("C%1_%2").arg(item).arg(k));
        }
    }
    EXPECT_EQ(played, expected);
    EXPECT_TRUE(ServerStreams().empty());
}

// The waiting play that the player offers: it returns once the sound has been
// heard to its end, and then leaves nothing on the server.
TEST_F(RealPlayerTest, AWaitingPlayReturnsAfterTheSoundAndReleasesTheOutput) {
    sounds.Write("tone.wav", mwtest::ToneFile(3000, 1));
    QtAudioPlayer player;
    ASSERT_TRUE(player.SetUp());
    std::vector<int> ratesHeard;
    QTimer listen;
    QObject::connect(&listen, &QTimer::timeout, [&] {
        for (const Stream& stream : ServerStreams()) ratesHeard.push_back(stream.rate);
    });
    listen.start(100);
    player.Play(QString::fromStdString(sounds.File("tone.wav")), true);
    listen.stop();

    EXPECT_FALSE(ratesHeard.empty()) << "the play returned before the sound was heard";
    EXPECT_TRUE(std::ranges::all_of(ratesHeard, [](int rate) { return rate == 3000; }));
    EXPECT_TRUE(ServerStreams().empty());
}

}  // namespace
}  // namespace mw

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The backend the station itself chooses, whatever the caller's environment names.
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
