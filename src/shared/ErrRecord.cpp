#include "ErrRecord.h"

ErrRecord& Err() {
    static ErrRecord record;
    return record;
}

VbError::VbError(int32_t number, std::wstring source, std::wstring description)
    : std::runtime_error("run-time error"), rec_{number, std::move(source), std::move(description)} {}

void RaiseError(int32_t number, const std::wstring& source, const std::wstring& description) {
    RecordError(number, source, description);
    throw VbError(number, source, description);
}

void RecordError(int32_t number, const std::wstring& source, const std::wstring& description) {
    ErrRecord& e = Err();
    e.Number = number;
    e.Source = source;
    e.Description = description;
}

std::wstring UnhandledErrorText(const ErrRecord& e) {
    return L"Run-time error '" + std::to_wstring(e.Number) + L"':\r\n\r\n" + e.Description;
}
