#include "core/report/PdfWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/data/Cp1252.h"
#include "core/data/Deflate.h"
#include "core/data/Product.h"
#include "core/data/Sha256.h"
#include "core/report/ColourProfile.h"

namespace mw {
namespace {

constexpr const char* kFontName = "LiberationMono";

// A number as PDF writes it: plain decimal with a point and two places,
// whatever the locale. Written from whole hundredths: the standard library's
// floating-point formatting would bring the maths library into every run of
// the command-line tool, which then spends longer loading it than writing a
// PDF.
std::string Num(double value) {
    const long long hundredths = static_cast<long long>(value * 100 + (value < 0 ? -0.5 : 0.5));
    const unsigned long long magnitude = static_cast<unsigned long long>(std::llabs(hundredths));
    std::string text = (hundredths < 0 ? "-" : "") + std::to_string(magnitude / 100) + ".";
    text += static_cast<char>('0' + magnitude / 10 % 10);
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

// A line as a PDF string: the delimiters and the escape are escaped, and
// every byte outside printable ASCII goes as an octal escape, so that no
// reader takes a stray control byte for a line end.
std::string PdfString(std::string_view line) {
    std::string s = "(";
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            s += '\\';
            s += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            s += octal;
        } else {
            s += c;
        }
    }
    return s + ")";
}

// The drawing of one sheet: each line at its slot, from the top margin down,
// its baseline the font's ascent below the slot's top.
std::string SheetContent(const PageLines& lines, const Paper& paper, const TrueTypeFont& font) {
    const PageOnSheet layout = LayoutPage(lines.size(), paper);
    const double firstBaseline =
        paper.heightPoints - kTopBottomMarginPoints - font.ascent / 1000.0 * layout.fontPoints;
    std::string content = "BT\n/F1 " + Num(layout.fontPoints) + " Tf\n" + Num(layout.pitchPoints) +
                          " TL\n" + Num(kSideMarginPoints) + " " + Num(firstBaseline) + " Td\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        content += (i > 0 ? "T* " : "") + PdfString(lines[i]) + " Tj\n";
    }
    return content + "ET\n";
}

std::string Stream(const std::string& dictionary, std::string_view bytes) {
    return "<< /Length " + std::to_string(bytes.size()) + dictionary + " >>\nstream\n" +
           std::string(bytes) + "\nendstream";
}

// Compressed: a third of the bytes for the text of a report.
std::string CompressedStream(const std::string& dictionary, std::string_view bytes) {
    return Stream(" /Filter /FlateDecode" + dictionary, ZlibCompress(bytes));
}

// A PDF file built object by object, numbered from 1 in the order added,
// with the cross-reference table that records where each object starts.
// Object 1 is the document's catalog.
class PdfDocument {
public:
    PdfDocument() : bytes_("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n") {}

    void Add(const std::string& body) {
        offsets_.push_back(bytes_.size());
        bytes_ += std::to_string(offsets_.size()) + " 0 obj\n" + body + "\nendobj\n";
    }

    // The file, its information dictionary `info`. Its identifier is drawn
    // from everything before the trailer, so that the same document always
    // has the same one and another document another.
    std::string Finish(const std::string& info) {
        const std::string count = std::to_string(offsets_.size() + 1);
        const std::size_t xref = bytes_.size();
        bytes_ += "xref\n0 " + count + "\n0000000000 65535 f \n";
        for (const std::size_t offset : offsets_) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            bytes_ += entry;
        }
        const std::string id = "<" + Sha256Hex(bytes_).substr(0, 32) + ">";
        bytes_ += "trailer\n<< /Size " + count + " /Root 1 0 R /Info " + info + " /ID [" + id +
                  " " + id + "] >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        return std::move(bytes_);
    }

private:
    std::string bytes_;
    std::vector<std::size_t> offsets_;
};

// The objects: the catalog, the page tree, the font, its descriptor, its
// program and its map to Unicode, the metadata, the colour profile, the
// information dictionary, then each sheet's page followed by its content.
constexpr const char* kPageTree = "2 0 R";
constexpr const char* kFont = "3 0 R";
constexpr const char* kFontDescriptor = "4 0 R";
constexpr const char* kFontProgram = "5 0 R";
constexpr const char* kToUnicode = "6 0 R";
constexpr const char* kMetadata = "7 0 R";
constexpr const char* kColourProfile = "8 0 R";
constexpr const char* kInfo = "9 0 R";
constexpr std::size_t kFirstPageObject = 10;

std::string PageRef(std::size_t sheet, int part) {
    return std::to_string(kFirstPageObject + 2 * sheet + static_cast<std::size_t>(part)) + " 0 R";
}

// The codes the report draws with, the space always among them.
struct Codes {
    std::array<bool, 256> used{};
    int first = 0;
    int last = 0;

    explicit Codes(const std::vector<PageLines>& sheets) {
        used[' '] = true;
        for (const PageLines& lines : sheets) {
            for (const std::string& line : lines) {
                for (const char c : line) used[static_cast<unsigned char>(c)] = true;
            }
        }
        first = static_cast<int>(std::find(used.begin(), used.end(), true) - used.begin());
        last = 255 - static_cast<int>(std::find(used.rbegin(), used.rend(), true) - used.rbegin());
    }

    // Each code used that stands for a character, with its character, in code order.
    std::vector<std::pair<int, char32_t>> Characters() const {
        std::vector<std::pair<int, char32_t>> characters;
        for (int code = first; code <= last; ++code) {
            const char32_t c = Cp1252CodePoint(static_cast<unsigned char>(code));
            if (used[code] && c != 0) characters.emplace_back(code, c);
        }
        return characters;
    }
};

// The name of a part of a font: six capitals, drawn from the characters it
// holds so that the same characters always give the same name, a plus sign
// and the font's own name.
std::string SubsetName(const std::vector<char32_t>& characters) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const char32_t c : characters) hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
    std::string tag;
    for (int i = 0; i < 6; ++i, hash /= 26) tag += static_cast<char>('A' + hash % 26);
    return tag + "+" + kFontName;
}

std::string Hex(std::uint32_t value, int digits) {
    char text[9];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The map from the font's codes to Unicode that text is copied and
// extracted by, as a character map program.
std::string ToUnicodeMap(const Codes& codes) {
    std::vector<std::string> entries;
    for (const auto& [code, c] : codes.Characters()) {
        entries.push_back("<" + Hex(static_cast<std::uint32_t>(code), 2) + "> <" + Hex(c, 4) +
                          ">\n");
    }
    std::string map =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    // A block holds at most 100 entries.
    for (std::size_t i = 0; i < entries.size(); i += 100) {
        const std::size_t n = std::min<std::size_t>(100, entries.size() - i);
        map += std::to_string(n) + " beginbfchar\n";
        for (std::size_t k = i; k < i + n; ++k) map += entries[k];
        map += "endbfchar\n";
    }
    return map + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

void AddFont(PdfDocument& pdf, const TrueTypeFont& font, const Codes& codes) {
    std::vector<char32_t> characters;
    for (const auto& entry : codes.Characters()) characters.push_back(entry.second);
    const std::string name = SubsetName(characters);
    // Every code between the first and the last has the width of the glyph it
    // draws with (in a fixed-pitch font, the missing-character glyph too).
    std::string widths;
    for (int code = codes.first; code <= codes.last; ++code) {
        widths += (code > codes.first ? " " : "") + std::to_string(font.advance);
    }
    pdf.Add("<< /Type /Font /Subtype /TrueType /BaseFont /" + name + " /FirstChar " +
            std::to_string(codes.first) + " /LastChar " + std::to_string(codes.last) +
            " /Widths [" + widths + "] /FontDescriptor " + kFontDescriptor +
            " /Encoding /WinAnsiEncoding /ToUnicode " + kToUnicode + " >>");
    std::string box;
    for (const int edge : font.box) box += (box.empty() ? "" : " ") + std::to_string(edge);
    // Flags: fixed-pitch (1) and the standard Latin characters (32).
    pdf.Add("<< /Type /FontDescriptor /FontName /" + name + " /Flags 33 /FontBBox [" + box +
            "] /ItalicAngle 0 /Ascent " + std::to_string(font.ascent) + " /Descent " +
            std::to_string(font.descent) + " /CapHeight " + std::to_string(font.capHeight) +
            " /StemV 80 /FontFile2 " + kFontProgram + " >>");
    const std::string program = FontSubset(font, characters);
    pdf.Add(CompressedStream(" /Length1 " + std::to_string(program.size()), program));
    pdf.Add(CompressedStream("", ToUnicodeMap(codes)));
}

// A time as PDF dates write it, D:YYYYMMDDHHmmSS and the offset from UTC
// as +HH'mm'; with `xmp`, as XMP dates do: YYYY-MM-DDTHH:mm:SS+HH:mm.
std::string DateText(const DateTime& t, bool xmp) {
    const int offset = std::abs(t.utcOffsetMinutes);
    const char sign = t.utcOffsetMinutes < 0 ? '-' : '+';
    char text[40];
    if (xmp) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                      t.date.year % 10000, t.date.month % 100, t.date.day % 100, t.hour % 100,
                      t.minute % 100, t.second % 100, sign, offset / 60 % 100, offset % 60);
    } else {
        std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%c%02d'%02d'",
                      t.date.year % 10000, t.date.month % 100, t.date.day % 100, t.hour % 100,
                      t.minute % 100, t.second % 100, sign, offset / 60 % 100, offset % 60);
    }
    return text;
}

// What the document says of itself. The title names the kind of document,
// never the client: a file's title is shown by file managers and search
// indexes that anyone at the computer can read.
std::string Title() {
    return std::string(kProductName) + " report";
}
std::string Producer() {
    return std::string(kProductName) + " " + kProductVersion;
}

// The metadata, as XMP: the same title, maker and date as the information
// dictionary (PDF/A-1 wants the two to agree), and the PDF/A-1b identification.
// Uncompressed, and its packet header without the bytes and encoding
// attributes, as PDF/A-1 asks.
std::string Metadata(const DateTime& created) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
           Title() +
           "</rdf:li></rdf:Alt></dc:title>\n</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
           "<xmp:CreateDate>" +
           DateText(created, true) +
           "</xmp:CreateDate>\n</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
           "<pdf:Producer>" +
           Producer() +
           "</pdf:Producer>\n</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
           "<pdfaid:part>1</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n"
           "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

}  // namespace

std::string ReportPdfBytes(std::string_view report, const Paper& paper, const TrueTypeFont& font,
                           const DateTime& created) {
    const std::vector<PageLines> sheets = SplitPages(report);
    PdfDocument pdf;
    // The output intent says what the colours are meant as: the text's black
    // as printed by the sRGB profile.
    pdf.Add(std::string("<< /Type /Catalog /Pages ") + kPageTree + " /Metadata " + kMetadata +
            " /OutputIntents [<< /Type /OutputIntent /S /GTS_PDFA1"
            " /OutputConditionIdentifier (sRGB IEC61966-2.1) /Info (sRGB IEC61966-2.1)"
            " /DestOutputProfile " +
            kColourProfile + " >>] >>");
    std::string kids;
    for (std::size_t i = 0; i < sheets.size(); ++i) kids += (i > 0 ? " " : "") + PageRef(i, 0);
    pdf.Add("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(sheets.size()) +
            " /MediaBox [0 0 " + Num(paper.widthPoints) + " " + Num(paper.heightPoints) + "] >>");
    AddFont(pdf, font, Codes(sheets));
    pdf.Add(Stream(" /Type /Metadata /Subtype /XML", Metadata(created)));
    pdf.Add(CompressedStream(" /N 3", kSrgbProfile));
    pdf.Add("<< /Title (" + Title() + ") /Producer (" + Producer() + ") /CreationDate (" +
            DateText(created, false) + ") >>");
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        pdf.Add(std::string("<< /Type /Page /Parent ") + kPageTree +
                " /Resources << /Font << /F1 " + kFont + " >> >> /Contents " + PageRef(i, 1) +
                " >>");
        pdf.Add(CompressedStream("", SheetContent(sheets[i], paper, font)));
    }
    return pdf.Finish(kInfo);
}

Result<std::string> ReportPdf(FileSystem& fs, std::string_view report, const Paper& paper,
                              const DateTime& created) {
    Result<TrueTypeFont> font = ReadTrueTypeFont(fs, kPdfFontFile);
    if (!font) return font.error();
    return ReportPdfBytes(report, paper, *font, created);
}

// A PDF can be made again from the disk, so it is not synced.
Status WriteReportPdf(FileSystem& fs, const std::string& path, std::string_view report,
                      const Paper& paper, const DateTime& created) {
    Result<std::string> pdf = ReportPdf(fs, report, paper, created);
    if (!pdf) return pdf.error();
    return fs.ReplaceRemakeableFile(path, *pdf);
}

}  // namespace mw
