// The process-wide error record: the last run-time error with number, source and description.
// Operations either raise an error to their caller (VbError) or record one without raising.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

struct ErrRecord {
    int32_t Number = 0;
    std::wstring Source;
    std::wstring Description;
    void Clear() { Number = 0; Source.clear(); Description.clear(); }
};

// The record itself (one per process).
ErrRecord& Err();

// Thrown by Raise; carries the three fields to the nearest handler.
class VbError : public std::runtime_error {
public:
    VbError(int32_t number, std::wstring source, std::wstring description);
    const ErrRecord& Record() const { return rec_; }
    int32_t Number() const { return rec_.Number; }
    const std::wstring& Source() const { return rec_.Source; }
    const std::wstring& Description() const { return rec_.Description; }
private:
    ErrRecord rec_;
};

// Fills the record and throws VbError.
[[noreturn]] void RaiseError(int32_t number, const std::wstring& source, const std::wstring& description);
// Fills the record and returns: the caller goes on.
void RecordError(int32_t number, const std::wstring& source, const std::wstring& description);

// Well-known numbers.
namespace errnum {
constexpr int32_t SubscriptOutOfRange = 9;
constexpr int32_t ObjectErrorBase = static_cast<int32_t>(0x80040000);  // vbObjectError
}

// Text shown when a raised error reaches a window without its own handler.
std::wstring UnhandledErrorText(const ErrRecord& e);
