#include "core/report/PdfWriter.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace mw {
namespace {

constexpr const char* kFontName = "LiberationMono";
// The codes the font's Windows encoding gives a character to.
constexpr int kFirstCode = 32;
constexpr int kLastCode = 255;

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

std::string Stream(const std::string& dictionary, const std::string& bytes) {
    return "<< /Length " + std::to_string(bytes.size()) + dictionary + " >>\nstream\n" + bytes +
           "\nendstream";
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

    std::string Finish() {
        const std::string count = std::to_string(offsets_.size() + 1);
        const std::size_t xref = bytes_.size();
        bytes_ += "xref\n0 " + count + "\n0000000000 65535 f \n";
        for (const std::size_t offset : offsets_) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            bytes_ += entry;
        }
        bytes_ += "trailer\n<< /Size " + count + " /Root 1 0 R >>\nstartxref\n" +
                  std::to_string(xref) + "\n%%EOF\n";
        return std::move(bytes_);
    }

private:
    std::string bytes_;
    std::vector<std::size_t> offsets_;
};

// The objects: the catalog, the page tree, the font, its descriptor and its
// program, then each sheet's page followed by its content.
constexpr const char* kPageTree = "2 0 R";
constexpr const char* kFont = "3 0 R";
constexpr const char* kFontDescriptor = "4 0 R";
constexpr const char* kFontProgram = "5 0 R";

std::string PageRef(std::size_t sheet, int part) {
    return std::to_string(6 + 2 * sheet + static_cast<std::size_t>(part)) + " 0 R";
}

void AddFont(PdfDocument& pdf, const TrueTypeFont& font) {
    std::string widths;
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        widths += (code > kFirstCode ? " " : "") + std::to_string(font.advance);
    }
    pdf.Add(std::string("<< /Type /Font /Subtype /TrueType /BaseFont /") + kFontName +
            " /FirstChar " + std::to_string(kFirstCode) + " /LastChar " +
            std::to_string(kLastCode) + " /Widths [" + widths + "] /FontDescriptor " +
            kFontDescriptor + " /Encoding /WinAnsiEncoding >>");
    std::string box;
    for (const int edge : font.box) box += (box.empty() ? "" : " ") + std::to_string(edge);
    // Flags: fixed-pitch (1) and the standard Latin characters (32).
    pdf.Add(std::string("<< /Type /FontDescriptor /FontName /") + kFontName +
            " /Flags 33 /FontBBox [" + box + "] /ItalicAngle 0 /Ascent " +
            std::to_string(font.ascent) + " /Descent " + std::to_string(font.descent) +
            " /CapHeight " + std::to_string(font.capHeight) + " /StemV 80 /FontFile2 " +
            kFontProgram + " >>");
    pdf.Add(Stream(" /Length1 " + std::to_string(font.program.size()), font.program));
}

}  // namespace

std::string ReportPdfBytes(std::string_view report, const Paper& paper, const TrueTypeFont& font) {
    const std::vector<PageLines> sheets = SplitPages(report);
    PdfDocument pdf;
    pdf.Add(std::string("<< /Type /Catalog /Pages ") + kPageTree + " >>");
    std::string kids;
    for (std::size_t i = 0; i < sheets.size(); ++i) kids += (i > 0 ? " " : "") + PageRef(i, 0);
    pdf.Add("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(sheets.size()) +
            " /MediaBox [0 0 " + Num(paper.widthPoints) + " " + Num(paper.heightPoints) + "] >>");
    AddFont(pdf, font);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        pdf.Add(std::string("<< /Type /Page /Parent ") + kPageTree +
                " /Resources << /Font << /F1 " + kFont + " >> >> /Contents " + PageRef(i, 1) +
                " >>");
        pdf.Add(Stream("", SheetContent(sheets[i], paper, font)));
    }
    return pdf.Finish();
}

Result<std::string> ReportPdf(FileSystem& fs, std::string_view report, const Paper& paper) {
    Result<TrueTypeFont> font = ReadTrueTypeFont(fs, kPdfFontFile);
    if (!font) return font.error();
    return ReportPdfBytes(report, paper, *font);
}

// A PDF can be made again from the disk, so it is not synced.
Status WriteReportPdf(FileSystem& fs, const std::string& path, std::string_view report,
                      const Paper& paper) {
    Result<std::string> pdf = ReportPdf(fs, report, paper);
    if (!pdf) return pdf.error();
    return fs.ReplaceRemakeableFile(path, *pdf);
}

}  // namespace mw
