#pragma once
// The document operations behind the exported plug-in callbacks: makes at the run address (a cursor the
// plug-in sets, which each make moves past what it made), collapses, comments and log lines. Each
// takes the document's file lock; the makers hold it for their whole life.

#include <cstdint>

class FileParseThread;

// Count kNoSize (0xFFFFFFFF): no size, the code maker decides the end. An address in no segment
// logs "Address %s not found", a document without a decode engine "Code(%s) no decode engine".
bool MakeCodeAtRun(FileParseThread* document, uint32_t count);
bool MakeDumpAtRun(FileParseThread* document, uint32_t count, uint32_t flag);
bool MakeWordsAtRun(FileParseThread* document, int32_t count);
bool MakeCollapse(FileParseThread* document, int64_t address, int64_t size, uint32_t flag);
void LogText(FileParseThread* document, const wchar_t* text);
// A comment at an address in a segment ("Address %s not found" otherwise); an empty text removes it.
bool AddCommentLine(FileParseThread* document, int64_t address, const wchar_t* text);
bool AddCommentOnline(FileParseThread* document, int64_t address, const wchar_t* text);
