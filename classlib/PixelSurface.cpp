#include "classlib/PixelSurface.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void PutLe16(std::vector<uint8_t>& out, uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void PutLe32(std::vector<uint8_t>& out, uint32_t v) { PutLe16(out, v & 0xFFFF); PutLe16(out, v >> 16); }
void PutBe32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((v >> shift) & 0xFF);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    struct Table {
        uint32_t entry[256];
        Table() {
            for (uint32_t n = 0; n < 256; ++n) {
                uint32_t c = n;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entry[n] = c;
            }
        }
    };
    static const Table table;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table.entry[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutBe32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks: screenshots are for looking at, not keeping.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> out{0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - pos, 65535);
        out.push_back(pos + n == raw.size() ? 1 : 0);
        PutLe16(out, static_cast<uint32_t>(n));
        PutLe16(out, static_cast<uint32_t>(~n & 0xFFFF));
        out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(out, (b << 16) | a);
    return out;
}

bool WriteFile(const std::wstring& path, const std::vector<uint8_t>& data)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool ok = fwrite(data.data(), 1, data.size(), file) == data.size();
    return fclose(file) == 0 && ok;
}

}  // namespace

PixelSurface::~PixelSurface()
{
    DeleteDC();          // puts the original bitmap back before bitmap_ is deleted
}

bool PixelSurface::Create(int width, int height)
{
    DeleteDC();
    bitmap_.DeleteObject();
    bits_ = nullptr;
    width_ = height_ = 0;
    if (width <= 0 || height <= 0 || !CreateCompatibleDC(nullptr))
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) {
        DeleteDC();
        return false;
    }
    bitmap_.Attach(dib);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    SelectObject(bitmap_);
    return true;
}

const uint32_t* PixelSurface::Bits() const
{
    ::GdiFlush();
    return bits_;
}

uint32_t* PixelSurface::Bits()
{
    ::GdiFlush();
    return bits_;
}

COLORREF PixelSurface::Pixel(int x, int y) const
{
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    return SwapRedBlue(Bits()[y * width_ + x] & 0xFFFFFF);
}

void PixelSurface::SetPixelColour(int x, int y, COLORREF colour)
{
    if (bits_ && x >= 0 && y >= 0 && x < width_ && y < height_)
        Bits()[y * width_ + x] = SwapRedBlue(colour & 0xFFFFFF);
}

int PixelSurface::CountColour(const RECT& area, COLORREF colour) const
{
    const uint32_t* bits = Bits();
    if (!bits)
        return 0;
    uint32_t want = SwapRedBlue(colour & 0xFFFFFF);
    int count = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, height_); ++y)
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, width_); ++x)
            count += (bits[y * width_ + x] & 0xFFFFFF) == want;
    return count;
}

bool PixelSurface::CopyFrom(HDC source, const RECT& area)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    if (!Create(width, height))
        return false;
    return BitBlt(0, 0, width, height, source, area.left, area.top);
}

bool PixelSurface::SaveBmp(const std::wstring& path) const
{
    if (!bits_)
        return false;
    const uint32_t* bits = Bits();
    uint32_t stride = (width_ * 3 + 3) & ~3u, imageSize = stride * height_;
    std::vector<uint8_t> out{'B', 'M'};
    PutLe32(out, 54 + imageSize);
    PutLe32(out, 0);
    PutLe32(out, 54);
    PutLe32(out, 40);
    PutLe32(out, width_);
    PutLe32(out, height_);                       // bottom-up rows
    PutLe16(out, 1);
    PutLe16(out, 24);
    PutLe32(out, BI_RGB);
    PutLe32(out, imageSize);
    for (int i = 0; i < 4; ++i)
        PutLe32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < width_; ++x) {
            uint32_t p = bits[y * width_ + x];
            out.push_back(p & 0xFF);
            out.push_back((p >> 8) & 0xFF);
            out.push_back((p >> 16) & 0xFF);
        }
        out.resize(rowStart + stride, 0);
    }
    return WriteFile(path, out);
}

bool PixelSurface::SavePng(const std::wstring& path) const
{
    if (!bits_)
        return false;
    const uint32_t* bits = Bits();
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height_) * (width_ * 3 + 1));
    for (int y = 0; y < height_; ++y) {
        raw.push_back(0);                        // filter: none
        for (int x = 0; x < width_; ++x) {
            uint32_t p = bits[y * width_ + x];
            raw.push_back((p >> 16) & 0xFF);
            raw.push_back((p >> 8) & 0xFF);
            raw.push_back(p & 0xFF);
        }
    }
    std::vector<uint8_t> header;
    PutBe32(header, width_);
    PutBe32(header, height_);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter set, no interlace
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", ZlibStored(raw));
    PutChunk(out, "IEND", {});
    return WriteFile(path, out);
}
