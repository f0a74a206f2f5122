// The font a PDF report embeds: a font file is refused by name, or read into
// measures a PDF is made with.
#include "FuzzSupport.h"
#include "MemoryFileSystem.h"
#include "core/report/PageLayout.h"
#include "core/report/PdfWriter.h"
#include "core/report/TrueTypeFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    mwfuzz::MemoryFileSystem fs;
    const std::string path = "/fonts/mono.ttf";
    fs.files[path] = std::string(mwfuzz::Bytes(data, size));
    Result<TrueTypeFont> font = ReadTrueTypeFont(fs, path);
    if (!font) {
        mwfuzz::CheckRefusal(font.error(), path);
        return 0;
    }
    mwfuzz::Check(font->program.size() == size, "the font is not embedded whole");
    const std::string pdf = ReportPdfBytes("Name: Test\r\n\fPage 2\r\n", kLetterPaper, *font);
    mwfuzz::Check(pdf.starts_with("%PDF-") && pdf.find(font->program) != std::string::npos,
                  "a PDF made with the font does not hold it");
    return 0;
}
