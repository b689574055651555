#pragma once
// The cipher's self-check against the published Twofish test vectors. A
// mismatch means the cipher implementation (or the machine's code generation)
// is wrong, and nothing may be enciphered with it.

namespace kelvo {

// Runs the published known-answer tests and 49-step chained tests for 128-,
// 192- and 256-bit keys, and checks that a key of every length from 0 to 31
// bytes acts as the same key padded with zero bytes. Returns nullptr when all
// agree, otherwise the name of the first check that failed.
const char* TwofishSelfCheckFailure() noexcept;

// Runs the self-check once per process; later calls return at once. On a
// mismatch the fault handler receives a message and the process then aborts.
void EnsureTwofishSelfChecked() noexcept;

using CipherFaultHandler = void (*)(const char* message) noexcept;

// Replaces the default fault handler, which writes the message to stderr; the
// program uses this to show the message to the user before it stops. A null
// handler brings the default back.
void SetCipherFaultHandler(CipherFaultHandler handler) noexcept;
CipherFaultHandler GetCipherFaultHandler() noexcept;

} // namespace kelvo
