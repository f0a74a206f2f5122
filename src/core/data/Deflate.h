// Compression as PDF streams take it (FlateDecode): a zlib stream of one
// deflate block with the fixed Huffman codes, repeats found within the last
// 32 KB. It gets most of what a full compressor gets from text and tables at
// a fraction of the code, and the same bytes always give the same result.
#pragma once

#include <string>
#include <string_view>

namespace mw {

std::string ZlibCompress(std::string_view bytes);

}  // namespace mw
