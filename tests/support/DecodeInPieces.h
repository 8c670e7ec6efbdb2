// Reading a file's bytes in pieces, as Open does: shared by the encoding tests and their fuzzer.
#pragma once
#include <string>
#include <string_view>

#include "FileEncoding.h"

// The bytes through a Decoder: the first `cut` bytes, then pieces of `step`; decoded again as ANSI
// when the decoder says so.
inline docfile::Decoded InPieces(std::string_view bytes, size_t cut, size_t step, const docfile::Encoding* as = nullptr) {
    std::string text;
    docfile::Decoder d([&](std::string_view t) { return text.append(t), true; }, as);
    auto s = d.Add(bytes.substr(0, cut));
    for (size_t at = cut; at < bytes.size() && s == docfile::Decoder::Step::Go; at += step) s = d.Add(bytes.substr(at, step));
    if (s == docfile::Decoder::Step::Go) s = d.Finish();
    if (s == docfile::Decoder::Step::Again) {
        constexpr docfile::Encoding ansi = docfile::Encoding::Ansi;
        return InPieces(bytes, cut, step, &ansi);
    }
    docfile::Decoded r = d.Result();
    r.text = text;
    return r;
}
