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
    mwfuzz::Check(font->program.size() == size, "the font is not read whole");
    const std::string pdf =
        ReportPdfBytes("Name: Test\r\n\fPage 2\r\n", kLetterPaper, *font, DateTime{});
    mwfuzz::Check(pdf.starts_with("%PDF-") && pdf.ends_with("%%EOF\n"), "the PDF is cut short");
    // The part of the font a PDF embeds is a font with the same measures.
    fs.files[path] = FontSubset(*font, {U'N', U'a', U'm', U'e'});
    Result<TrueTypeFont> subset = ReadTrueTypeFont(fs, path);
    mwfuzz::Check(subset && subset->advance == font->advance && subset->box == font->box,
                  "the font's subset is not the same font");
    return 0;
}
