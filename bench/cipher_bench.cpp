// Encrypt and Decrypt of texts of 64 bytes, 1 KB and 64 KB, each against its
// floor: one Twofish key schedule, the same number of blocks and one MakeKey.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "crypto/cipher.h"
#include "crypto/twofish.h"

namespace kelvo::bench {
namespace {

volatile std::uint8_t sink;

void RunCipherBench() {
    const CCipher cipher;
    const CipherKey key = cipher.MakeKey(u"benchmark master password");
    std::mt19937 random(42);

    struct Size {
        std::size_t bytes;
        int reps;
    };
    for (Size size : {Size{64, 1000}, Size{1024, 200}, Size{65536, 5}}) {
        size.reps = Sized(size.reps, 1);
        std::u16string text(size.bytes / 2, u'\0');
        for (char16_t& unit : text)
            unit = static_cast<char16_t>(1 + random() % 0xFFFF);
        std::u16string stored;
        cipher.Encrypt(key, text, stored); // also runs the once-per-process self-check

        const std::size_t blocks = 2 + (2 * text.size() + 2 + 15) / 16;
        std::vector<std::uint8_t> buffer(16 * blocks);

        const Timing encrypt = MeasureAgainstFloor(
            Sized(45, 1), size.reps,
            [&] {
                std::u16string out;
                cipher.Encrypt(key, text, out);
                sink = static_cast<std::uint8_t>(out[0]);
            },
            [&] {
                TwofishKey(key.bytes).EncryptBlocks(buffer);
                sink = cipher.MakeKey(text).bytes[0];
            });
        Report("cipher", "encrypt", size.bytes, encrypt.figure_us, encrypt.floor_us, 0);

        const Timing decrypt = MeasureAgainstFloor(
            Sized(45, 1), size.reps,
            [&] {
                WipedString<char16_t> out;
                sink = cipher.Decrypt(key, stored, out);
            },
            [&] {
                TwofishKey(key.bytes).DecryptBlocks(buffer);
                sink = cipher.MakeKey(text).bytes[0];
            });
        Report("cipher", "decrypt", size.bytes, decrypt.figure_us, decrypt.floor_us,
               size.bytes == 1024 ? 2.0 : 0);
    }
}

} // namespace

KELVO_BENCH_AREA("cipher", RunCipherBench);

} // namespace kelvo::bench
