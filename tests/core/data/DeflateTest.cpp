#include "core/data/Deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

namespace mw {
namespace {

std::string Inflate(const std::string& compressed, std::size_t size) {
    std::string bytes(size + 1, '\0');  // room for one byte too many
    uLongf length = bytes.size();
    const int status =
        uncompress(reinterpret_cast<Bytef*>(bytes.data()), &length,
                   reinterpret_cast<const Bytef*>(compressed.data()), compressed.size());
    EXPECT_EQ(status, Z_OK);
    bytes.resize(length);
    return bytes;
}

// What the PDF readers' inflater reads back is what went in, at the edges of
// the format: no bytes, repeats longer than one match can be, repeats at the
// farthest distance a match may reach and just past it, and bytes that do
// not repeat at all; and text compresses.
TEST(DeflateTest, ZlibReadsBackWhatWasCompressed) {
    std::mt19937 random(7);
    std::string noise(70000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    // A run of bytes again at 32768 bytes' distance, and again at 32769.
    const std::string run = noise.substr(0, 200);
    const std::string farRepeat =
        run + noise.substr(200, 32568) + run + noise.substr(32768, 32569) + run;
    const std::string text =
        "BT\n/F1 11.50 Tf\n" + std::string(300, ' ') + "(Truthfulness    0   *....-) Tj\n";
    const std::pair<std::string, bool> cases[] = {
        // the bytes, whether they repeat
        {"", false},    {"a", false},       {std::string(100000, 'a'), true},
        {noise, false}, {farRepeat, false}, {text + text + text, true}};
    for (const auto& [bytes, repeats] : cases) {
        const std::string compressed = ZlibCompress(bytes);
        EXPECT_EQ(Inflate(compressed, bytes.size()), bytes) << bytes.size() << " bytes";
        if (repeats) {
            EXPECT_LT(compressed.size(), bytes.size() / 3) << bytes.size() << " bytes";
        }
    }
}

}  // namespace
}  // namespace mw
