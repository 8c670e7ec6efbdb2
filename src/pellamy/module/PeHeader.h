// A module's bitness and processor, read from the first bytes of its file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace pellamy {

// Bits32: an x86 module, Bits64: an x64 one; OtherProcessor: one for a processor neither build runs on.
enum class Bitness { NotPe, Bits32, Bits64, OtherProcessor };
// Reads the MZ and PE headers (machine field and optional header magic); NotPe when the bytes do not
// hold a complete PE header or the two disagree.
Bitness PeBitness(const unsigned char* data, size_t size);
// The PE header's machine field; 0 when the bytes hold no complete PE header.
uint16_t PeMachine(const unsigned char* data, size_t size);
// A complete PE header of a program (an .exe: the DLL flag clear in its characteristics).
bool PeIsProgram(const unsigned char* data, size_t size);
// "ARM64", "ARM", ... for a machine field; its number in hex for one without a name.
std::wstring MachineName(uint16_t machine);
// Bytes needed from the file start to decide (0x40 for the DOS header, more once e_lfanew is known).
size_t PeHeaderBytesNeeded(const unsigned char* data, size_t size);
// Name of the build that loads modules of that bitness.
const wchar_t* BuildFor(Bitness b);  // L"Pellamy.exe" / L"Pellamy64.exe"

}  // namespace pellamy
