#include "library/chunk_transfer.h"

#include <algorithm>
#include <cwctype>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "base/wipe.h"
#include "library/data_folder.h"
#include "library/file_replace.h"

using kelvo::ExchangeChunk;
using kelvo::Ref;

namespace {

std::u16string U16(std::wstring_view text) {
    return std::u16string(kelvo::AsU16(text));
}

void Wipe(std::u16string& text) noexcept {
    kelvo::SecureWipe(text.data(), text.size() * sizeof(char16_t));
}

} // namespace

ChunkFileFormat ChunkFileFormatOf(const std::wstring& path) {
    constexpr std::wstring_view kCsv = L".csv";
    if (path.size() < kCsv.size())
        return ChunkFileFormat::kJson;
    const std::wstring_view end = std::wstring_view(path).substr(path.size() - kCsv.size());
    for (std::size_t i = 0; i < kCsv.size(); ++i)
        if (std::towlower(end[i]) != kCsv[i])
            return ChunkFileFormat::kJson;
    return ChunkFileFormat::kCsv;
}

ChunkFileRead ReadChunkFile(const std::wstring& path, kelvo::ExchangeLimits limits) {
    ChunkFileRead read;
    HANDLE opened =
        ::CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        read.error = ::GetLastError();
        return read;
    }
    const kelvo::UniqueHandle file(opened);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) {
        read.error = ::GetLastError();
        return read;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > limits.bytes) {
        read.result = kelvo::ExchangeError{kelvo::ExchangeError::Kind::kTooLarge};
        return read;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) {
            read.error = ::GetLastError();
            return read;
        }
        if (got == 0)
            break; // shorter than it was a moment ago
        done += got;
    }
    bytes.resize(done);
    read.result = kelvo::ReadChunks(bytes, limits);
    return read;
}

bool WriteChunkFile(const std::wstring& path, ChunkFileFormat format,
                    std::span<const ExchangeChunk> chunks) {
    std::string bytes = format == ChunkFileFormat::kCsv ? kelvo::WriteChunksCsv(chunks)
                                                        : kelvo::WriteChunksJson(chunks);
    const bool written = ReplaceFileContents(path, bytes) == ReplaceResult::kReplaced;
    const DWORD error = ::GetLastError();
    // It may hold encrypted chunks in clear.
    kelvo::SecureWipe(bytes.data(), bytes.size());
    ::SetLastError(error);
    return written;
}

bool ChunksForExport(std::span<const Ref<text_chunk>> chunks, const kelvo::CipherKey* key,
                     std::vector<ExchangeChunk>& out, std::wstring& undecryptable) {
    out.clear();
    out.reserve(chunks.size());
    for (const auto& chunk : chunks) {
        if (chunk->encrypted && !key)
            continue;
        ExchangeChunk& exported = out.emplace_back();
        exported.title = U16(chunk->title);
        exported.tags.reserve(chunk->tags.size());
        for (const auto& tag : chunk->tags)
            exported.tags.push_back(U16(tag));
        exported.encrypted = chunk->encrypted;
        if (!chunk->encrypted) {
            exported.text = U16(chunk->text);
            continue;
        }
        kelvo::WipedString<char16_t> plain;
        if (!kelvo::CCipher().Decrypt(*key, kelvo::AsU16(chunk->text), plain)) {
            undecryptable = chunk->title;
            WipeClearTexts(out);
            out.clear();
            return false;
        }
        exported.text.assign(plain.view());
    }
    return true;
}

void WipeClearTexts(std::vector<ExchangeChunk>& chunks) noexcept {
    for (auto& chunk : chunks)
        if (chunk.encrypted)
            Wipe(chunk.text);
}

kelvo::ImportPlan PlanImport(const CChunkStore& store, std::span<const ExchangeChunk> chunks,
                             const kelvo::CipherKey* key) {
    kelvo::CImportPlanner planner;
    // The plain texts of the library's encrypted chunks, for the planner to
    // look at until the plan is made.
    std::vector<kelvo::WipedString<char16_t>> plain;
    for (const auto& [id, chunk] : store.Chunks()) {
        std::u16string_view text = kelvo::AsU16(chunk->text);
        if (chunk->encrypted && key) {
            kelvo::WipedString<char16_t> decrypted;
            if (kelvo::CCipher().Decrypt(*key, text, decrypted))
                text = plain.emplace_back(std::move(decrypted)).view();
        }
        planner.AddExisting(kelvo::AsU16(chunk->title), U16(chunk->GetTagsString()), text,
                            chunk->encrypted);
    }
    return planner.Plan(chunks);
}

bool StoreImport(CChunkStore& store, std::span<const ExchangeChunk> chunks,
                 const kelvo::ImportPlan& plan, const kelvo::CipherKey* key, int& stored) {
    std::vector<Ref<text_chunk>> added;
    added.reserve(static_cast<std::size_t>(plan.fresh + plan.beside));
    for (std::size_t i = 0; i < chunks.size() && i < plan.verdicts.size(); ++i) {
        if (plan.verdicts[i] == kelvo::ImportVerdict::kIdentical)
            continue;
        const ExchangeChunk& chunk = chunks[i];
        auto imported = kelvo::MakeRef<text_chunk>(std::wstring(kelvo::AsWide(chunk.text)),
                                                   std::wstring(kelvo::AsWide(chunk.title)));
        imported->tags.reserve(chunk.tags.size());
        for (const auto& tag : chunk.tags)
            imported->tags.emplace_back(kelvo::AsWide(tag));
        // Encrypt wipes the plain text it replaces.
        if (chunk.encrypted && (!key || !imported->Encrypt(*key))) {
            kelvo::SecureWipe(imported->text.data(), imported->text.size() * sizeof(wchar_t));
            return false;
        }
        added.push_back(std::move(imported));
    }
    store.PutChunks(added);
    stored = static_cast<int>(added.size());
    return true;
}
