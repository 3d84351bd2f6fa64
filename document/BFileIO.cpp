#include "document/BFileIO.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

// Bytes asked of ReadFile at once; large enough that the loop costs nothing, small enough for any
// system's limit on one read.
constexpr DWORD kReadPiece = 64u << 20;

}  // namespace

BFileIO::~BFileIO() { Free(); }

void BFileIO::Free() {
    delete[] bytes_;
    bytes_ = nullptr;
}

void BFileIO::Close() {}

bool BFileIO::Open() {
    Free();
    problem_.clear();
    HANDLE file = ::CreateFileW(fileName.c_str(), access, shareMode, nullptr, creation, flagsAndAttributes, nullptr);
    lastError = ::GetLastError();
    size = -1;
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = false;
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(file, &length)) {
        lastError = ::GetLastError();
    } else if (length.QuadPart > 0x7FFFFFFF) {
        // Sizes and offsets are 32-bit signed: a file of 2 GiB or more cannot be held.
        lastError = ERROR_FILE_TOO_LARGE;
        problem_ = StringW(kFormat, L"the file is too large: %I64d bytes, 2 GiB or more", length.QuadPart);
    } else {
        uint32_t total = static_cast<uint32_t>(length.QuadPart);
        bytes_ = new (std::nothrow) uint8_t[total ? total : 1];
        if (!bytes_) {
            lastError = ERROR_NOT_ENOUGH_MEMORY;
            problem_ = StringW(kFormat, L"not enough memory to hold the file's %u bytes", total);
        } else {
            uint32_t done = 0;
            ok = true;
            while (done < total) {
                DWORD want = total - done < kReadPiece ? total - done : kReadPiece;
                DWORD got = 0;
                if (!::ReadFile(file, bytes_ + done, want, &got, nullptr)) {
                    lastError = ::GetLastError();
                    ok = false;
                    break;
                }
                if (got == 0) {   // the file became shorter while we read it
                    lastError = ERROR_HANDLE_EOF;
                    ok = false;
                    break;
                }
                done += got;
            }
            if (ok) {
                size = static_cast<int32_t>(total);
                lastError = ::GetLastError();
            } else {
                Free();
            }
        }
    }
    ::CloseHandle(file);
    return ok;
}

int32_t BFileIO::GetSize() { return size; }

uint32_t BFileIO::Read(uint32_t offset, void* destination, uint32_t count) {
    if (size <= 0 || offset >= static_cast<uint32_t>(size))
        return 0;
    uint32_t left = static_cast<uint32_t>(size) - offset;
    if (count > left)
        count = left;
    std::memcpy(destination, bytes_ + offset, count);
    return count;
}

StringW BFileIO::GetErrorText() const {
    // Our own reason says it plainly; the system may have no text for the code behind it.
    if (!problem_.empty())
        return problem_;
    return FormatSystemMessage(lastError);
}

StringW FormatSystemMessage(uint32_t code) {
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                   FORMAT_MESSAGE_FROM_SYSTEM | 0xFF,
                               nullptr, code, 0x400, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n == 0 || !buffer) {
        if (buffer)
            ::LocalFree(buffer);
        return StringW(kFormat, L"FormatMessage() returns %d", static_cast<int>(::GetLastError()));
    }
    StringW text(buffer);
    ::LocalFree(buffer);
    return text;
}
