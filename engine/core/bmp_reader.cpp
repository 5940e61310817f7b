#include "engine/core/bmp_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "base/byte_reader.h"
#include "engine/core/bitmap.h"
#include "engine/core/byte_source.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/wad.h"

namespace {

constexpr std::uint64_t kNoFit = std::numeric_limits<std::uint64_t>::max();
// The bytes needed to read an info header's size field.
constexpr std::uint32_t kHeaderSizeField = 4;
// An info header of this many bytes holds the used colour count.
constexpr std::uint32_t kUsedColourHeaderSize = 36;

// Fields of a block read at their offsets; one past the end reads 0 (callers check sizes first).
arena::ByteReader ReaderAt(const std::uint8_t* bytes, std::size_t size, std::size_t offset) {
  arena::ByteReader reader(bytes, size);
  reader.Seek(offset);
  return reader;
}

std::uint16_t U16At(const R3xDib& dib, std::size_t offset) {
  return ReaderAt(dib.bytes, dib.size, offset).U16();
}

std::uint32_t U32At(const R3xDib& dib, std::size_t offset) {
  return ReaderAt(dib.bytes, dib.size, offset).U32();
}

// The file header: "BM", u32 file size, two reserved u16, u32 offset of the pixels.
struct FileHeader {
  bool isBm;
  std::uint32_t fileSize;
  std::uint32_t pixelOffset;
};

FileHeader ParseFileHeader(const std::uint8_t (&bytes)[R3X_BMP_FILE_HEADER_SIZE]) {
  arena::ByteReader reader(bytes, sizeof bytes);
  FileHeader header{};
  const std::uint8_t first = reader.U8();
  const std::uint8_t second = reader.U8();
  header.isBm = first == 'B' && second == 'M';
  header.fileSize = reader.U32();
  reader.Skip(4);
  header.pixelOffset = reader.U32();
  return header;
}

struct FreeBlock {
  void operator()(void* block) const { r3xFree(block); }
};
template <typename T>
using EngineBlock = std::unique_ptr<T, FreeBlock>;

// A BMP file or archive member, read from its start onwards; closed with the object.
class BmpStream {
 public:
  BmpStream(const char* name, R3xWad* archive)
      : open_(_r3xOpenByteSource(&source_, name, archive) == 0) {}
  ~BmpStream() { Close(); }
  BmpStream(const BmpStream&) = delete;
  BmpStream& operator=(const BmpStream&) = delete;

  bool IsOpen() const { return open_; }
  std::uint64_t Remaining() const {
    return static_cast<std::uint64_t>(_r3xByteSourceRemaining(&source_));
  }

  // False when fewer than count bytes are left.
  bool Read(void* buffer, std::uint64_t count) {
    return count <= Remaining() &&
           _r3xReadByteSourceExact(&source_, buffer, static_cast<std::int64_t>(count));
  }

  bool Skip(std::uint32_t count) {
    std::uint8_t scratch[4];
    return count <= sizeof scratch && Read(scratch, count);
  }

  void Close() {
    if (open_) {
      _r3xCloseByteSource(&source_);
    }
    open_ = false;
  }

 private:
  R3xByteSource source_;
  bool open_;
};

bool HeaderFits(const R3xDib& dib) {
  if (dib.size < kHeaderSizeField) {
    return false;
  }
  const std::uint32_t size = _r3xBmpHeaderSize(&dib);
  return (size == R3X_BMP_CORE_HEADER_SIZE || size >= R3X_BMP_MIN_INFO_HEADER_SIZE) &&
         size <= dib.size;
}

bool IsCoreHeader(const R3xDib& dib) { return _r3xBmpHeaderSize(&dib) == R3X_BMP_CORE_HEADER_SIZE; }

std::uint32_t BitCountOf(const R3xDib& dib) { return U16At(dib, (IsCoreHeader(dib) ? 10 : 14)); }

// Width and height as the header states them; an info header's are signed.
struct ImageSize {
  std::int64_t width;
  std::int64_t height;
};

ImageSize SizeOf(const R3xDib& dib) {
  if (IsCoreHeader(dib)) {
    return {U16At(dib, 4), U16At(dib, 6)};
  }
  return {static_cast<std::int32_t>(U32At(dib, 4)), static_cast<std::int32_t>(U32At(dib, 8))};
}

std::uint32_t ColourEntrySize(const R3xDib& dib) { return IsCoreHeader(dib) ? 3 : 4; }

// Where a further level's pixels start: after the header and a colour table sized by the used
// colour count or else the bit count.
std::uint64_t LevelPixelStart(const R3xDib& dib) {
  const std::uint32_t headerSize = _r3xBmpHeaderSize(&dib);
  const std::uint32_t bitCount = BitCountOf(dib);
  std::uint64_t entries = 0;
  if (!IsCoreHeader(dib) && headerSize >= kUsedColourHeaderSize && U32At(dib, 32) != 0) {
    entries = U32At(dib, 32);
  } else if (bitCount > 32) {
    return kNoFit;
  } else if (bitCount != 24) {
    entries = std::uint64_t{1} << bitCount;
  }
  return headerSize + entries * ColourEntrySize(dib);
}

R3xDib* ReadDib(BmpStream& stream) {
  std::uint8_t fileHeader[R3X_BMP_FILE_HEADER_SIZE];
  if (!stream.IsOpen() || !stream.Read(fileHeader, sizeof fileHeader)) {
    return nullptr;
  }
  const FileHeader header = ParseFileHeader(fileHeader);
  if (!header.isBm) {
    return nullptr;
  }
  const std::uint32_t fileSize = header.fileSize;
  if (fileSize < R3X_BMP_FILE_HEADER_SIZE + kHeaderSizeField ||
      fileSize - R3X_BMP_FILE_HEADER_SIZE > stream.Remaining()) {
    return nullptr;
  }
  const std::size_t size = fileSize - R3X_BMP_FILE_HEADER_SIZE;
  EngineBlock<R3xDib> dib(static_cast<R3xDib*>(r3xMalloc(sizeof(R3xDib) + size)));
  if (dib == nullptr) {
    return nullptr;
  }
  dib->size = size;
  dib->bytes = reinterpret_cast<std::uint8_t*>(dib.get() + 1);
  if (!stream.Read(dib->bytes, size) || !HeaderFits(*dib)) {
    return nullptr;
  }
  return dib.release();
}

std::int32_t ReadColourTable(const R3xDib& block, R3xBitmap* bitmap) {
  const std::uint32_t count = _r3xBmpColorCount(&block);
  if (!_r3xBmpColorsFit(&block, count)) {
    return R3X_ERR_BMP_HEADER;
  }
  auto* table = static_cast<std::uint8_t*>(r3xMalloc(R3X_BITMAP_COLOUR_ENTRIES * 4));
  if (table == nullptr) {
    return R3X_ERR_NO_MEMORY;
  }
  for (std::uint32_t i = 0; i < count && i < R3X_BITMAP_COLOUR_ENTRIES; ++i) {
    const R3xRgb colour = _r3xBmpColor(&block, i);
    table[4 * i] = colour.red;
    table[4 * i + 1] = colour.green;
    table[4 * i + 2] = colour.blue;
  }
  bitmap->colourTable = table;
  return 0;
}

// Reads the file header, info header and colour table of the full-size image, leaving the
// stream at the pixel data, and sets the bitmap's size, bit count and colours.
std::int32_t ReadImageHeader(BmpStream& stream, R3xBitmap* bitmap, std::int32_t paletteFlag) {
  std::uint8_t fileHeader[R3X_BMP_FILE_HEADER_SIZE];
  if (!stream.Read(fileHeader, sizeof fileHeader)) {
    return R3X_ERR_BMP_READ;
  }
  const FileHeader header = ParseFileHeader(fileHeader);
  if (!header.isBm) {
    return R3X_ERR_BMP_NOT_BM;
  }
  const std::uint32_t pixelOffset = header.pixelOffset;
  if (pixelOffset < R3X_BMP_FILE_HEADER_SIZE + kHeaderSizeField) {
    return R3X_ERR_BMP_HEADER;
  }
  const std::size_t blockSize = pixelOffset - R3X_BMP_FILE_HEADER_SIZE;
  if (blockSize > stream.Remaining()) {
    return R3X_ERR_BMP_READ;
  }
  EngineBlock<std::uint8_t> bytes(static_cast<std::uint8_t*>(r3xMalloc(blockSize)));
  if (bytes == nullptr) {
    return R3X_ERR_NO_MEMORY;
  }
  if (!stream.Read(bytes.get(), blockSize)) {
    return R3X_ERR_BMP_READ;
  }
  const R3xDib block{blockSize, bytes.get()};
  if (!HeaderFits(block)) {
    return R3X_ERR_BMP_HEADER;
  }
  const ImageSize size = SizeOf(block);
  if (size.width <= 0 || size.height <= 0) {
    return R3X_ERR_BMP_HEADER;
  }
  bitmap->width = static_cast<std::int32_t>(size.width);
  bitmap->height = static_cast<std::int32_t>(size.height);
  bitmap->bitCount = static_cast<std::int32_t>(BitCountOf(block));
  bitmap->widthLog2 = static_cast<std::int16_t>(std::lround(std::log2(double(size.width))));
  bitmap->widthReciprocal = 1.0f / static_cast<float>(size.width);
  if (bitmap->bitCount == 8 && paletteFlag != 0) {
    return ReadColourTable(block, bitmap);
  }
  return 0;
}

std::uint64_t RowStride(std::uint64_t rowLength) { return (rowLength + 3) & ~std::uint64_t{3}; }

// Bytes of all levels: n + n/4 + n/16 ... for the given number of levels.
std::uint64_t AllLevelsSize(std::uint64_t n, std::int32_t levelCount) {
  const std::uint64_t shift = 2 * static_cast<std::uint64_t>(levelCount - 1);
  const std::uint64_t smallest = shift < 64 ? n >> shift : 0;
  return (4 * n - smallest) / 3;
}

// Reads the full-size image's rows, which the file keeps 4 bytes apart.
std::int32_t ReadFullImage(BmpStream& stream, R3xBitmap* bitmap, std::int32_t levelCount) {
  const std::uint64_t rowLength =
      std::uint64_t{static_cast<std::uint32_t>(bitmap->width)} * (bitmap->bitCount == 16 ? 2 : 1);
  const std::uint64_t height = static_cast<std::uint32_t>(bitmap->height);
  if (RowStride(rowLength) * height > stream.Remaining()) {
    return R3X_ERR_BMP_READ;
  }
  const std::uint64_t size = AllLevelsSize(rowLength * height, levelCount);
  bitmap->pixels = static_cast<std::uint8_t*>(r3xMalloc(size));
  if (bitmap->pixels == nullptr) {
    return R3X_ERR_NO_MEMORY;
  }
  bitmap->pixelBytes = size;
  const auto padding = static_cast<std::uint32_t>(RowStride(rowLength) - rowLength);
  for (std::uint64_t row = 0; row < height; ++row) {
    if (!stream.Read(bitmap->pixels + row * rowLength, rowLength) || !stream.Skip(padding)) {
      return R3X_ERR_BMP_READ;
    }
  }
  return 0;
}

// Appends the further levels, each half the size of the one before, from their whole files.
std::int32_t ReadFurtherLevels(std::int32_t levelCount, const char* const* names, R3xBitmap* bitmap,
                               R3xWad* archive) {
  std::int64_t width = bitmap->width;
  std::int64_t height = bitmap->height;
  std::uint64_t offset = std::uint64_t{static_cast<std::uint32_t>(width)} *
                         static_cast<std::uint32_t>(height) * (bitmap->bitCount == 16 ? 2 : 1);
  for (std::int32_t level = 1; level < levelCount; ++level) {
    if (names[level] == nullptr) {
      return R3X_ERR_BMP_READ;
    }
    const EngineBlock<R3xDib> dib(archive != nullptr ? _r3xReadDibFromWad(archive, names[level])
                                                     : _r3xReadBmpFile(names[level]));
    if (dib == nullptr) {
      return R3X_ERR_BMP_READ;
    }
    const ImageSize size = SizeOf(*dib);
    if (size.width != width / 2 || size.height != height / 2) {
      return R3X_ERR_BMP_READ;
    }
    width = size.width;
    height = size.height;
    const auto rowLength = static_cast<std::uint64_t>(width);
    const auto rows = static_cast<std::uint64_t>(height);
    const std::uint64_t start = LevelPixelStart(*dib);
    if (start == kNoFit || start > dib->size || RowStride(rowLength) * rows > dib->size - start ||
        rowLength * rows > bitmap->pixelBytes - offset) {
      return R3X_ERR_BMP_READ;
    }
    for (std::uint64_t row = 0; row < rows; ++row) {
      const std::uint8_t* source = dib->bytes + start + row * RowStride(rowLength);
      std::copy(source, source + rowLength, bitmap->pixels + offset + row * rowLength);
    }
    offset += rowLength * rows;
  }
  return 0;
}

std::int32_t LoadLevels(std::int32_t levelCount, const char* const* names, R3xBitmap* bitmap,
                        R3xWad* archive, std::int32_t paletteFlag) {
  BmpStream stream(names[0], archive);
  if (!stream.IsOpen()) {
    return R3X_ERR_BMP_OPEN;
  }
  std::int32_t result = ReadImageHeader(stream, bitmap, paletteFlag);
  if (result == 0) {
    result = ReadFullImage(stream, bitmap, levelCount);
  }
  stream.Close();
  if (result == 0) {
    result = ReadFurtherLevels(levelCount, names, bitmap, archive);
  }
  return result;
}

void DropImages(R3xBitmap* bitmap) {
  r3xFree(bitmap->pixels);
  r3xFree(bitmap->colourTable);
  bitmap->pixels = nullptr;
  bitmap->pixelBytes = 0;
  bitmap->colourTable = nullptr;
}

}  // namespace

std::uint32_t _r3xBmpHeaderSize(const R3xDib* dib) { return U32At(*dib, 0); }

R3xDib* _r3xReadBmpFile(const char* name) {
  if (name == nullptr) {
    return nullptr;
  }
  BmpStream stream(name, nullptr);
  return ReadDib(stream);
}

R3xDib* _r3xReadDibFromWad(R3xWad* archive, const char* name) {
  if (archive == nullptr || name == nullptr) {
    return nullptr;
  }
  BmpStream stream(name, archive);
  return ReadDib(stream);
}

std::uint32_t _r3xBmpColorCount(const R3xDib* dib) {
  if (!IsCoreHeader(*dib) && _r3xBmpHeaderSize(dib) >= kUsedColourHeaderSize &&
      U32At(*dib, 32) != 0) {
    return U32At(*dib, 32);
  }
  switch (BitCountOf(*dib)) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

bool _r3xBmpColorsFit(const R3xDib* dib, std::uint32_t count) {
  return _r3xBmpHeaderSize(dib) + std::uint64_t{count} * ColourEntrySize(*dib) <= dib->size;
}

R3xRgb _r3xBmpColor(const R3xDib* dib, std::uint32_t index) {
  arena::ByteReader entry = ReaderAt(
      dib->bytes, dib->size, _r3xBmpHeaderSize(dib) + std::size_t{index} * ColourEntrySize(*dib));
  const std::uint8_t blue = entry.U8();
  const std::uint8_t green = entry.U8();
  const std::uint8_t red = entry.U8();
  return {red, green, blue};
}

std::int32_t _r3xLoadBitmapFile(std::int32_t levelCount, const char* const* names,
                                R3xBitmap* bitmap, R3xWad* archive, std::int32_t paletteFlag) {
  if (levelCount < 1 || names == nullptr || names[0] == nullptr || bitmap == nullptr) {
    return R3X_ERR_FAILED;
  }
  DropImages(bitmap);
  const std::int32_t result = LoadLevels(levelCount, names, bitmap, archive, paletteFlag);
  if (result != 0) {
    DropImages(bitmap);
  }
  return result;
}
