#pragma once
// The callbacks the program exports for parser plug-ins (cdecl; 64-bit values as low and high halves;
// a one-byte result, 0 for an unknown or closed file id). Ordinals 1-19 in ZepExports.def.

#include <cstdint>

extern "C" {
uint8_t __cdecl ZepFileAddCodeSegment(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t offsetLow,
                                      uint32_t offsetHigh, uint32_t fileSizeLow, uint32_t fileSizeHigh,
                                      uint32_t memorySizeLow, uint32_t memorySizeHigh);
uint8_t __cdecl ZepFileAddDataSegment(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t offsetLow,
                                      uint32_t offsetHigh, uint32_t fileSizeLow, uint32_t fileSizeHigh,
                                      uint32_t memorySizeLow, uint32_t memorySizeHigh);
uint8_t __cdecl ZepFileCommentline(int32_t id, uint32_t addressLow, uint32_t addressHigh, const wchar_t* text);
uint8_t __cdecl ZepFileLog(int32_t id, const wchar_t* text);
uint8_t __cdecl ZepFileMakeCode(int32_t id, uint32_t addressLow, uint32_t addressHigh);
uint8_t __cdecl ZepFileMakeCodes(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t count);
uint8_t __cdecl ZepFileMakeCollapse(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t size,
                                    uint32_t flag);
uint8_t __cdecl ZepFileMakeDec(int32_t id);
uint8_t __cdecl ZepFileMakeDump(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t count,
                                uint32_t flag);
uint8_t __cdecl ZepFileMakeHex(int32_t id);
uint8_t __cdecl ZepFileMakePerline(int32_t id, int32_t n);
uint8_t __cdecl ZepFileMakeWords(int32_t id, uint32_t addressLow, uint32_t addressHigh, int32_t count);
uint8_t __cdecl ZepFileRunCommentOnline(int32_t id, const wchar_t* text);
uint8_t __cdecl ZepFileRunCommentline(int32_t id, const wchar_t* text);
uint8_t __cdecl ZepFileRunDump(int32_t id, uint32_t count, uint32_t flag);
uint8_t __cdecl ZepFileRunWord(int32_t id);
uint8_t __cdecl ZepFileRunWords(int32_t id, int32_t count);
uint8_t __cdecl ZepFileSegmentName(int32_t id, uint32_t addressLow, uint32_t addressHigh, const wchar_t* name);
uint8_t __cdecl ZepFileSetRunAddress(int32_t id, uint32_t addressLow, uint32_t addressHigh);
}
