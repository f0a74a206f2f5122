// One client: twelve fixed-width text fields, 226 bytes on the data disk.
//
// Fields hold Windows-1252 bytes, exactly as they lie in the record file, so
// a record read from a disk written elsewhere is written back unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace mw {

// A text field of fixed width. Assignment is left-aligned: a shorter value is
// padded with blanks, a longer one cut to the width.
template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t kWidth = N;

    FixedText() { chars_.fill(' '); }
    FixedText(std::string_view value) { Assign(value); }  // NOLINT: assigned like text

    FixedText& operator=(std::string_view value) {
        Assign(value);
        return *this;
    }

    void Assign(std::string_view value) {
        chars_.fill(' ');
        value.copy(chars_.data(), std::min(N, value.size()));
    }

    // The full width, trailing blanks included.
    std::string_view View() const { return {chars_.data(), N}; }
    char operator[](std::size_t i) const { return chars_[i]; }
    char& operator[](std::size_t i) { return chars_[i]; }

    friend bool operator==(const FixedText& a, std::string_view b) { return a.View() == b; }

private:
    std::array<char, N> chars_;
};

constexpr std::size_t kRecordSize = 226;
// What a client's Name reads once the supervisor deleted it; the IDNumber is
// left blank.
inline constexpr const char* kDeletedName = "Name deleted";
// Edits of one client's information, over all its visits, before it is locked.
constexpr int kEditLimit = 3;

struct ClientRecord {
    FixedText<25> Name;
    FixedText<11> IDNumber;
    FixedText<3> Age;
    FixedText<1> Gender;
    FixedText<1> Race;
    FixedText<2> Education;
    FixedText<1> MaritalStatus;
    FixedText<10> DateOfBirth;
    FixedText<10> TodayDate;
    FixedText<160> Answers;
    FixedText<1> timeseditted;
    FixedText<1> DeleteFlag;

    // The record as it lies in the record file: the fields one after the other.
    std::string ToBytes() const;
    // Reads a record from the file's bytes; a short record reads as if padded with blanks.
    static ClientRecord FromBytes(std::string_view bytes);

    // The number of edits, a blank reading as 0.
    int TimesEdited() const;
    // The supervisor has deleted the client's name and ID number.
    bool NameDeleted() const;
    // The client's information and answers may no longer be changed: its
    // name was deleted, or it has been edited as often as allowed.
    bool Locked() const;
};

// Removes leading and trailing blanks, as consumers do before showing a field.
std::string Trim(std::string_view text);

// The text with each control byte (below 0x20, and 0x7F) replaced by a blank,
// for printing a field: a form feed, line end or escape typed into a field
// must not start a page on the printer or act on a terminal.
std::string Printable(std::string_view text);

// The numeric value of a trimmed code field ("1" -> 1); anything else reads as 0.
int CodeValue(std::string_view field);

}  // namespace mw
