#include "library/chunk_store.h"

#include <algorithm>
#include <limits>

#include "base/utf16.h"
#include "base/wipe.h"
#include "library/chunk_reader.h"
#include "library/chunk_writer.h"
#include "library/data_folder.h"
#include "library/file_replace.h"
#include "library/write_lock.h"
#include "library/xml_chars.h"
#include "library/xml_props.h"

using kelvo::Ref;

namespace {

constexpr std::wstring_view kConflictMark = L" (conflict)";

void DropNonXmlChars(std::wstring& text) {
    text = kelvo::AsWide(kelvo::DropNonXmlChars(kelvo::AsU16(text)));
}

// The file cannot hold what XML cannot carry; the chunk in memory holds
// what the file will, so a reload never shows something else.
void KeepStorable(text_chunk& chunk) {
    DropNonXmlChars(chunk.text);
    DropNonXmlChars(chunk.title);
    for (auto& tag : chunk.tags)
        DropNonXmlChars(tag);
    std::erase_if(chunk.tags, [](const std::wstring& tag) { return tag.empty(); });
}

// Paths from the "chunks" element. An id is found in the form a save writes
// it; of two elements with one id the loader keeps the later, and the
// earlier gets a fresh id.
std::wstring ChunkPath(int id) {
    return L"*[@id=\"" + std::to_wstring(id) + L"\"][last()]";
}

// The element that carries a renumbered chunk; empty for an id text no
// XPath literal can hold (both kinds of quote).
std::wstring RenumberedPath(const text_chunk& chunk) {
    const wchar_t quote = chunk.file_id.find(L'"') == std::wstring::npos ? L'"' : L'\'';
    if (chunk.file_id.find(quote) != std::wstring::npos)
        return {};
    return L"*[@id=" + std::wstring(1, quote) + chunk.file_id + quote + L"][" +
           std::to_wstring(chunk.file_occurrence) + L"]";
}

// Attempts of one save while other writers keep replacing the file.
constexpr int kWriteAttempts = 5;

// The fingerprint of the chunk as its plain text gives it, where `key`
// decrypts it: texts encrypted apart (or under other keys) compare by what
// they hold.
std::uint64_t PlainPrint(const text_chunk& chunk, const kelvo::CipherKey* key) {
    if (!chunk.encrypted || !key)
        return chunk.Fingerprint();
    kelvo::WipedString<char16_t> plain;
    if (!kelvo::CCipher().Decrypt(*key, kelvo::AsU16(chunk.text), plain))
        return chunk.Fingerprint();
    text_chunk probe;
    probe.title = chunk.title;
    probe.tags = chunk.tags;
    probe.encrypted = true;
    probe.text.assign(kelvo::AsWide(plain.view()));
    const std::uint64_t print = probe.Fingerprint();
    kelvo::SecureWipe(probe.text.data(), probe.text.size() * sizeof(wchar_t));
    return print;
}

// The highest id of the file's chunks when it is above `floor`, else floor.
// Each step is one scan inside the XML layer, which costs far less than a
// call per element; ids in ascending order, as appends leave them, take one.
int HighestIdAbove(CXMLProps& xml, int floor) {
    constexpr int kSteps = 16;
    for (int step = 0; step < kSteps; ++step) {
        const std::wstring path = L"*[@id>" + std::to_wstring(floor) + L"][last()]";
        if (!xml.Select(path.c_str(), false))
            return floor;
        const int id = xml.GetIntAttr(L"id", 0);
        xml.Up();
        if (id <= floor)
            return floor; // a form the loader reads otherwise ("9.4", too large)
        floor = id;
    }
    // Ids in no order: one look at each.
    if (xml.Select(L"*[@id]", false)) {
        do
            floor = std::max(floor, xml.GetIntAttr(L"id", 0));
        while (xml.Next());
        xml.Up();
    }
    return floor;
}

} // namespace

void CChunkStore::LoadChunks() {
    ++m_revision;
    m_unsaved.clear();
    m_deleted.clear();
    m_renumbered.clear();
    const std::wstring path = ChunksXmlPath();
    ChunksFile file;
    ReadPatiently(path, [&] {
        file = ReadChunksFile(path.c_str());
        return file.state;
    });
    m_chunks = std::move(file.chunks);
    for (const auto& [id, chunk] : m_chunks)
        chunk->file_print = chunk->Fingerprint();
    Renumber(file.renumber, m_chunks);
    m_password = std::move(file.password);
    m_passwordFirst = file.password_first;
    m_fileHash.reset();
    if (file.state == FileState::kRead)
        m_fileHash = file.hash;
    m_whole = file.state == FileState::kRead || file.state == FileState::kMissing;
    if (file.state != FileState::kRead && file.state != FileState::kMissing)
        TellUnreadable(file.state, file.error);
    IndexFile(&file);
    HandOverNotices();
}

void CChunkStore::IndexFile(const ChunksFile* read) {
    m_fileIndex.reset();
    if (!m_fileHash || !m_unsaved.empty() || !m_deleted.empty() || !m_renumbered.empty())
        return;
    FileIndex index;
    index.chunks.reserve(m_chunks.size());
    if (read && read->only_library) {
        for (const auto& [id, chunk] : m_chunks)
            index.chunks.push_back({id, chunk->file_print.value_or(chunk->Fingerprint())});
        index.size = read->size;
        m_fileIndex = std::move(index);
        return;
    }
    // Hashed a piece at a time: the file is never held twice.
    std::string piece;
    std::uint64_t hash = kContentHashStart;
    const auto take = [&] {
        hash = ContentHash(piece, hash);
        index.size += piece.size();
        piece.clear();
    };
    CChunksXmlWriter writer(piece, m_password, m_passwordFirst);
    for (const auto& [id, chunk] : m_chunks) {
        writer.Add(*chunk);
        take();
        index.chunks.push_back({id, chunk->file_print.value_or(chunk->Fingerprint())});
    }
    writer.Finish();
    take();
    if (hash == *m_fileHash)
        m_fileIndex = std::move(index);
}

void CChunkStore::Renumber(std::vector<Ref<text_chunk>>& chunks, Map& into) {
    if (chunks.empty())
        return;
    int id = NextChunkIds(nullptr, static_cast<int>(chunks.size()));
    for (auto& chunk : chunks) {
        chunk->id = id;
        chunk->file_print = chunk->Fingerprint();
        m_renumbered.insert(id);
        into[id++] = std::move(chunk);
    }
}

CChunkStore::ReloadResult CChunkStore::Reload() {
    const std::wstring path = ChunksXmlPath();
    ChunksFile file;
    // A writer that is replacing the file has it held or empty for a moment.
    ReadPatiently(path, [&] {
        file = ReadChunksFile(path.c_str(), m_fileHash);
        return file.state;
    });
    if (file.state != FileState::kRead)
        return ReloadResult::kNotRead;
    m_toldUnreadable = false;
    m_whole = true;
    // What the store last read or wrote itself: its own save, or a touch.
    if (file.unchanged)
        return ReloadResult::kUnchanged;
    Apply(file);
    return ReloadResult::kReloaded;
}

void CChunkStore::Apply(ChunksFile& file) {
    ++m_revision;
    Map chunks;
    for (auto& [id, read] : file.chunks) {
        // A deletion waiting for the file keeps the chunk out of memory.
        if (m_deleted.contains(id))
            continue;
        read->file_print = read->Fingerprint();
        auto known = m_chunks.find(id);
        // Lists and editors keep what they hold where the file did not change;
        // a change waiting in memory is checked against the file when saved.
        if (known != m_chunks.end() && known->second->file_id.empty() &&
            (m_unsaved.contains(id) || known->second->file_print == read->file_print))
            chunks[id] = known->second;
        else
            chunks[id] = std::move(read);
    }
    // A chunk renumbered before keeps its fresh id while the file holds it
    // where it did.
    std::set<int> renumbered;
    std::vector<Ref<text_chunk>> fresh;
    for (auto& read : file.renumber) {
        read->file_print = read->Fingerprint();
        auto known = std::find_if(m_renumbered.begin(), m_renumbered.end(), [&](int id) {
            auto chunk = m_chunks.find(id);
            return chunk != m_chunks.end() && chunk->second->file_id == read->file_id &&
                   chunk->second->file_occurrence == read->file_occurrence && !chunks.contains(id);
        });
        const bool deleted = std::any_of(m_deleted.begin(), m_deleted.end(), [&](const auto& d) {
            return d.second && d.second->file_id == read->file_id &&
                   d.second->file_occurrence == read->file_occurrence;
        });
        if (deleted)
            continue;
        if (known == m_renumbered.end()) {
            fresh.push_back(std::move(read));
            continue;
        }
        const int id = *known;
        Ref<text_chunk>& mine = m_chunks.at(id);
        if (m_unsaved.contains(id) || mine->file_print == read->file_print) {
            chunks[id] = mine;
        } else {
            read->id = id;
            chunks[id] = std::move(read);
        }
        renumbered.insert(id);
    }
    for (int id : m_unsaved)
        if (auto waiting = m_chunks.find(id); waiting != m_chunks.end())
            chunks[id] = waiting->second;
    m_chunks = std::move(chunks);
    m_renumbered = std::move(renumbered);
    Renumber(fresh, m_chunks);
    m_password = std::move(file.password);
    m_passwordFirst = file.password_first;
    m_fileHash = file.hash;
    IndexFile(&file);
}

void CChunkStore::PutChunk(Ref<text_chunk> chunk) {
    KeepStorable(*chunk);
    if (chunk->id == 0) {
        Write({chunk});
        return;
    }
    // An edit outweighs a deletion that waits.
    m_deleted.erase(chunk->id);
    // A new object for a stored chunk was made from the stored one.
    auto& stored = m_chunks[chunk->id];
    if (!chunk->file_print && stored)
        chunk->file_print = stored->file_print;
    stored = chunk;
    m_unsaved.insert(chunk->id);
    Write({});
}

void CChunkStore::PutChunks(const std::vector<Ref<text_chunk>>& chunks) {
    for (const auto& chunk : chunks)
        KeepStorable(*chunk);
    Write(chunks);
}

void CChunkStore::DeleteChunk(int id) {
    // A chunk that goes is not written first. It leaves memory now, and the
    // file with this write or, while the file cannot be written, a later one.
    m_unsaved.erase(id);
    auto known = m_chunks.extract(id);
    m_deleted[id] = known ? std::move(known.mapped()) : Ref<text_chunk>();
    Write({});
}

void CChunkStore::SaveUnsaved() {
    if (HasUnsaved())
        Write({});
}

MergeResult CChunkStore::MergeCopy(const std::wstring& path, std::wstring& set_aside,
                                   IMergeKeys& keys) {
    MergeResult result;
    ChunksFile copy = ReadChunksFile(path.c_str());
    if (copy.state != FileState::kRead) {
        result.outcome = MergeResult::Outcome::kUnreadable;
        return result;
    }
    // Every chunk of the copy; one the copy cannot find by id is new here.
    std::vector<Ref<text_chunk>> chunks;
    for (auto& [id, chunk] : copy.chunks)
        chunks.push_back(std::move(chunk));
    for (auto& chunk : copy.renumber) {
        chunk->id = 0;
        chunk->file_id.clear();
        chunks.push_back(std::move(chunk));
    }
    const bool encrypted =
        std::any_of(chunks.begin(), chunks.end(), [](const auto& c) { return c->encrypted; });
    result.other_password = copy.password && m_password && copy.password != m_password;

    // Encrypted chunks of a copy whose wrapped key is not the library's are
    // under the same data key (the password was changed on one side) or
    // under another; then they are stored under the library's.
    kelvo::CipherKey library_key;
    bool compare_plain = false;
    if (encrypted && copy.password != m_password) {
        if (!m_password) {
            result.outcome = MergeResult::Outcome::kNoKey;
            return result;
        }
        if (!keys.LibraryKey(library_key)) {
            result.outcome = MergeResult::Outcome::kKeyNotGiven;
            return result;
        }
        compare_plain = true;
        const bool same_key = std::all_of(chunks.begin(), chunks.end(), [&](const auto& c) {
            kelvo::WipedString<char16_t> plain;
            return !c->encrypted ||
                   kelvo::CCipher().Decrypt(library_key, kelvo::AsU16(c->text), plain);
        });
        if (!same_key) {
            result.other_password = false;
            kelvo::CipherKey copy_key;
            if (!copy.password) {
                result.outcome = MergeResult::Outcome::kNoKey;
                return result;
            }
            if (!keys.CopyKey(path, kelvo::AsU16(*copy.password), copy_key)) {
                result.outcome = MergeResult::Outcome::kKeyNotGiven;
                return result;
            }
            for (auto& chunk : chunks) {
                if (!chunk->encrypted)
                    continue;
                kelvo::WipedString<char16_t> plain;
                std::u16string stored;
                if (!kelvo::CCipher().Decrypt(copy_key, kelvo::AsU16(chunk->text), plain) ||
                    !kelvo::CCipher().Encrypt(library_key, plain.view(), stored)) {
                    result.outcome = MergeResult::Outcome::kNoKey;
                    return result;
                }
                chunk->text.assign(kelvo::AsWide(stored));
            }
        }
    }
    const kelvo::CipherKey* plain_key = compare_plain ? &library_key : nullptr;

    // What the library holds already, conflict chunks of earlier merges too.
    std::set<std::uint64_t> held;
    for (const auto& [id, chunk] : m_chunks)
        held.insert(PlainPrint(*chunk, plain_key));
    MergeCounts& counts = result.counts;
    std::vector<Ref<text_chunk>> added;
    for (auto& chunk : chunks) {
        const int id = chunk->id;
        auto known = id != 0 ? m_chunks.find(id) : m_chunks.end();
        const bool differs = known != m_chunks.end();
        if (differs && PlainPrint(*known->second, plain_key) == PlainPrint(*chunk, plain_key)) {
            ++counts.identical;
            continue;
        }
        chunk->file_print.reset();
        if (differs) {
            chunk->id = 0;
            if (!chunk->title.ends_with(kConflictMark))
                chunk->title += kConflictMark;
        }
        if (!held.insert(PlainPrint(*chunk, plain_key)).second) {
            ++counts.identical;
        } else if (chunk->id != 0) {
            // Under its own id unless the file holds that by now.
            m_chunks[id] = chunk;
            m_unsaved.insert(id);
            ++counts.added;
        } else {
            added.push_back(chunk);
            ++(differs ? counts.conflicts : counts.added);
        }
    }
    Write(added);
    if (!HasUnsaved()) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            set_aside = StampedPath(path, L"merged", attempt);
            if (::MoveFileExW(LongPathForm(path).c_str(), LongPathForm(set_aside).c_str(), 0))
                break;
            set_aside.clear();
            if (::GetLastError() != ERROR_ALREADY_EXISTS && ::GetLastError() != ERROR_FILE_EXISTS)
                break;
        }
    }
    return result;
}

void CChunkStore::Adopt(const std::vector<Ref<text_chunk>>& chunks, CXMLProps* xml) {
    if (chunks.empty())
        return;
    // One id counter update for all of them, however many.
    int id = NextChunkIds(xml, static_cast<int>(chunks.size()));
    for (const auto& chunk : chunks) {
        chunk->id = id++;
        chunk->file_print.reset();
        m_chunks[chunk->id] = chunk;
        m_unsaved.insert(chunk->id);
    }
}

void CChunkStore::Write(const std::vector<Ref<text_chunk>>& added) {
    // Every path below may change the map (a chunk added, replaced by the
    // file's version, or removed).
    ++m_revision;
    // Other Kelvos wait while this one reads, merges and replaces; other
    // programs are caught by the check before the replacement.
    const CWriteLock lock(ChunksXmlPath());
    bool saved = WriteOnce(added);
    // The new chunks were taken into memory (as unsaved) by the first attempt.
    for (int attempt = 1; !saved && attempt < kWriteAttempts; ++attempt)
        saved = WriteOnce({});
    if (!saved)
        TellNotSaved(ERROR_SHARING_VIOLATION);
    HandOverNotices();
}

CChunkStore::FromMemory CChunkStore::WriteFromMemory(const std::vector<Ref<text_chunk>>& added) {
    if (!m_fileIndex || !m_renumbered.empty())
        return FromMemory::kNotTried;
    const std::vector<FileEntry>& in_file = m_fileIndex->chunks;
    const auto find = [&](int id) -> const FileEntry* {
        auto entry = std::lower_bound(in_file.begin(), in_file.end(), id,
                                      [](const FileEntry& e, int wanted) { return e.id < wanted; });
        return entry != in_file.end() && entry->id == id ? &*entry : nullptr;
    };
    // Every chunk of the file is in memory, or deleted from it and waiting
    // to leave the file.
    auto known = m_chunks.begin();
    for (const FileEntry& entry : in_file) {
        while (known != m_chunks.end() && known->first < entry.id)
            ++known;
        if ((known == m_chunks.end() || known->first != entry.id) && !m_deleted.contains(entry.id))
            return FromMemory::kNotTried;
    }
    // What the file holds of the chunks concerned is what their objects were
    // made from, or they are not in it; otherwise the document path keeps
    // the file's version and tells the user.
    bool removes = false;
    for (const auto& [id, deleted] : m_deleted) {
        if (const FileEntry* entry = find(id)) {
            if (!deleted || deleted->file_print != entry->print)
                return FromMemory::kNotTried;
            removes = true;
        }
    }
    for (int id : m_unsaved) {
        auto chunk = m_chunks.find(id);
        const FileEntry* entry = find(id);
        if (chunk != m_chunks.end() && entry && chunk->second->file_print != entry->print &&
            chunk->second->Fingerprint() != entry->print)
            return FromMemory::kNotTried;
    }

    // The file still holds what the store last read or wrote: its bytes are
    // read and hashed, not parsed. Otherwise the document path reads it
    // (waiting for a held one) before any id is given out.
    const FileContents expected{.exists = true, .size = m_fileIndex->size, .hash = *m_fileHash};
    if (CurrentContents(ChunksXmlPath()) != expected)
        return FromMemory::kNotTried;
    m_toldUnreadable = false;
    // New ids lie above every id in memory, which holds every id of the file.
    Adopt(added, nullptr);
    if (m_unsaved.empty() && !removes) {
        m_deleted.clear(); // not in the file: they only leave the store
        m_whole = true;
        return FromMemory::kWritten;
    }
    // Memory in the order of the file, which is by id: the file's chunks and
    // those waiting to be written; the deleted ones are no longer in memory.
    std::string bytes;
    bytes.reserve(m_fileIndex->size + m_fileIndex->size / 8 + 4096);
    CChunksXmlWriter writer(bytes, m_password, m_passwordFirst);
    FileIndex written;
    written.chunks.reserve(in_file.size() + m_unsaved.size());
    auto entry = in_file.begin();
    for (const auto& [id, chunk] : m_chunks) {
        while (entry != in_file.end() && entry->id < id)
            ++entry;
        const bool waiting = m_unsaved.contains(id);
        if (!waiting && (entry == in_file.end() || entry->id != id))
            continue;
        writer.Add(*chunk);
        written.chunks.push_back({id, waiting ? chunk->Fingerprint() : entry->print});
    }
    writer.Finish();

    ::SetLastError(ERROR_SUCCESS);
    const ReplaceResult result = ReplaceFileContents(ChunksXmlPath(), bytes, expected);
    if (result == ReplaceResult::kChanged) {
        // Another writer's file: the next attempt joins it through the document.
        m_fileIndex.reset();
        return FromMemory::kChanged;
    }
    if (result == ReplaceResult::kFailed)
        return FromMemory::kFailed;
    m_toldNotSaved = false;
    for (int id : m_unsaved)
        if (auto chunk = m_chunks.find(id); chunk != m_chunks.end())
            chunk->second->file_print = chunk->second->Fingerprint();
    m_unsaved.clear();
    m_deleted.clear();
    m_fileHash = ContentHash(bytes);
    written.size = bytes.size();
    m_fileIndex = std::move(written);
    m_whole = true;
    return FromMemory::kWritten;
}

bool CChunkStore::WriteOnce(const std::vector<Ref<text_chunk>>& added) {
    switch (WriteFromMemory(added)) {
    case FromMemory::kWritten:
        return true;
    case FromMemory::kChanged:
        return false;
    case FromMemory::kFailed:
        // The document path waits for a held file and tells what became of it.
        return WriteThroughDocument({});
    case FromMemory::kNotTried:
        break;
    }
    return WriteThroughDocument(added);
}

bool CChunkStore::WriteThroughDocument(const std::vector<Ref<text_chunk>>& added) {
    auto xml = OpenChunksXml();
    const FileState state = xml->State();
    const bool readable = state == FileState::kRead;
    // A file that does not read is rebuilt only from the whole library; it
    // holds nothing to lose when it is not there at all.
    const bool rebuildable =
        state == FileState::kMissing ||
        (m_whole && (state == FileState::kEmpty || state == FileState::kDamaged));
    if (xml->Depth() == 0 || (!readable && !rebuildable)) {
        // Neither read nor kept, so never replaced: the changes wait.
        Adopt(added, nullptr);
        if (xml->Depth() == 0 && state != FileState::kForeign)
            TellNotSaved(ERROR_INVALID_DATA); // no XML layer
        else
            TellUnreadable(state, xml->ReadError());
        return true;
    }

    bool changed = true;
    std::vector<int> written; // chunks the file will hold as they are in memory
    if (readable) {
        m_toldUnreadable = false;
        m_password = xml->Select(L"password", false) ? xml->GetText() : std::nullopt;
        if (m_password)
            xml->Up();
        // Where the document keeps it; a "chunks" element made now follows it.
        m_passwordFirst =
            m_password && !xml->Select(L"password[1][preceding-sibling::chunks]", false);
        if (m_password && !m_passwordFirst)
            xml->Up();
        changed = xml->Select(L"chunks", true) && Merge(*xml, added, written);
    } else {
        // Empty, damaged or gone: nothing of it can be kept but a copy of what
        // it held, so the save holds the whole library in memory.
        Adopt(added, nullptr);
        m_passwordFirst = false;
        Rebuild(*xml);
        for (const auto& [id, chunk] : m_chunks)
            written.push_back(id);
    }
    // Another writer changed the file since the store last read or wrote it.
    const bool joined = readable && xml->LoadedHash() != m_fileHash;

    if (changed) {
        ::SetLastError(ERROR_SUCCESS);
        const ReplaceResult result = xml->SaveIfUnchanged();
        if (result == ReplaceResult::kChanged)
            return false;
        if (result == ReplaceResult::kFailed) {
            const DWORD error = ::GetLastError();
            TellNotSaved(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
            return true;
        }
        m_toldNotSaved = false;
        m_unsaved.clear();
        for (int id : m_renumbered)
            if (auto chunk = m_chunks.find(id); chunk != m_chunks.end())
                chunk->second->file_id.clear();
        m_renumbered.clear();
        m_fileHash = xml->SavedHash();
        for (int id : written) {
            const auto& chunk = m_chunks.at(id);
            chunk->file_print = chunk->Fingerprint();
        }
        if (state == FileState::kEmpty || state == FileState::kDamaged)
            TellUnreadable(state, ERROR_SUCCESS, true, xml->KeptCopy());
    }
    // Saved, or the file held none of them any more.
    m_deleted.clear();
    if (changed && joined) {
        // Memory takes every chunk the save wrote, the other writer's too.
        ChunksFile file = ReadChunksBytes(xml->SavedBytes());
        if (file.state == FileState::kRead)
            Apply(file);
        else
            m_fileHash.reset(); // the next reload reads the file whole
    }
    if (changed && !joined)
        IndexFile();
    if (changed || readable)
        m_whole = true;
    return true;
}

bool CChunkStore::Merge(CXMLProps& xml, const std::vector<Ref<text_chunk>>& added,
                        std::vector<int>& written) {
    bool changed = WriteFreshIds(xml);
    for (auto deleted = m_deleted.begin(); deleted != m_deleted.end();) {
        const int id = deleted->first;
        // Not in the file (any more): it only leaves the store.
        Ref<text_chunk> disk = EnterInFile(xml, id);
        const auto base = deleted->second ? deleted->second->file_print : std::nullopt;
        if (!disk || (base && disk->file_print == base)) {
            if (disk) {
                xml.RemoveCurrent();
                changed = true;
            }
            ++deleted;
            continue;
        }
        xml.Up();
        // Changed elsewhere, or another's chunk under an id ours never had
        // in the file: the file's version stays, and is shown.
        if (base)
            m_notices.push_back(
                {.kind = StoreNotice::Kind::kNotDeleted, .id = id, .title = disk->title});
        m_chunks[id] = std::move(disk);
        deleted = m_deleted.erase(deleted);
    }
    for (int id : std::vector<int>(m_unsaved.begin(), m_unsaved.end())) {
        auto chunk = m_chunks.find(id);
        if (chunk != m_chunks.end()) {
            PutOne(xml, chunk->second);
            written.push_back(chunk->second->id);
            changed = true;
        }
    }
    Adopt(added, &xml);
    for (const auto& chunk : added) {
        Append(xml, *chunk);
        written.push_back(chunk->id);
        changed = true;
    }
    return changed;
}

bool CChunkStore::WriteFreshIds(CXMLProps& xml) {
    std::vector<Ref<text_chunk>> chunks;
    for (int id : m_renumbered)
        for (const Map* map : {&m_chunks, &m_deleted})
            if (auto chunk = map->find(id); chunk != map->end() && chunk->second)
                chunks.push_back(chunk->second);
    // A later element of an id text first: an earlier one keeps its count.
    std::sort(chunks.begin(), chunks.end(), [](const auto& a, const auto& b) {
        return a->file_id != b->file_id ? a->file_id < b->file_id
                                        : a->file_occurrence > b->file_occurrence;
    });
    bool changed = false;
    for (const auto& chunk : chunks) {
        const std::wstring path = RenumberedPath(*chunk);
        // Gone from the file: an edit waiting in memory is appended; the
        // reload after the save shows what else became of it.
        if (path.empty() || !xml.Select(path.c_str(), false))
            continue;
        auto disk = kelvo::MakeRef<text_chunk>();
        disk->ReadFromXml(xml);
        disk->id = chunk->id;
        disk->file_print = disk->Fingerprint();
        xml.SetIntAttr(L"id", chunk->id);
        xml.Up();
        changed = true;
        // Changed elsewhere meanwhile, and not here: memory takes that version.
        if (!m_unsaved.contains(chunk->id) && disk->file_print != chunk->file_print)
            m_chunks[chunk->id] = disk;
    }
    return changed;
}

void CChunkStore::PutOne(CXMLProps& xml, Ref<text_chunk> chunk) {
    const int id = chunk->id;
    Ref<text_chunk> disk = EnterInFile(xml, id);
    if (!disk) {
        // New to the file, or deleted there since: an edit outweighs a deletion.
        Append(xml, *chunk);
        return;
    }
    const auto base = chunk->file_print;
    // The file holds the version ours was made from, or ours already.
    if ((base && disk->file_print == base) || disk->file_print == chunk->Fingerprint()) {
        chunk->WriteToXml(xml);
        xml.Up();
        return;
    }
    xml.Up();
    // The file's chunk of this id is not the one ours was made from (changed
    // elsewhere, or another's new chunk under an id ours never had in the
    // file): it stays, and ours becomes a chunk of its own.
    m_chunks[id] = disk;
    m_unsaved.erase(id);
    if (base && !chunk->title.ends_with(kConflictMark))
        chunk->title += kConflictMark;
    Adopt({chunk}, &xml);
    Append(xml, *chunk);
    if (base)
        m_notices.push_back({.kind = StoreNotice::Kind::kConflict,
                             .id = id,
                             .conflict_id = chunk->id,
                             .title = disk->title});
}

void CChunkStore::Append(CXMLProps& xml, const text_chunk& chunk) {
    if (!xml.AddChild(L"chunk"))
        return;
    chunk.WriteToXml(xml);
    xml.Up();
}

Ref<text_chunk> CChunkStore::EnterInFile(CXMLProps& xml, int id) {
    if (!xml.Select(ChunkPath(id).c_str(), false))
        return {};
    auto chunk = kelvo::MakeRef<text_chunk>();
    chunk->ReadFromXml(xml);
    chunk->id = id;
    chunk->file_print = chunk->Fingerprint();
    return chunk;
}

void CChunkStore::Rebuild(CXMLProps& xml) {
    if (xml.Select(L"chunks", true)) {
        for (const auto& [id, chunk] : m_chunks) {
            if (!xml.AddChild(L"chunk"))
                break;
            chunk->WriteToXml(xml);
            xml.Up();
        }
        xml.Up();
    }
    if (m_password)
        xml.SetChildText(L"password", *m_password);
}

int CChunkStore::NextChunkIds(CXMLProps* chunks, int count) {
    auto xml = OpenSettingsXml();
    // The counter may have been lost, not saved, or be behind another writer's.
    long long next = std::max(xml->GetIntAttr(L"next-id", 1), 1);
    if (!m_chunks.empty())
        next = std::max(next, m_chunks.rbegin()->first + 1LL);
    if (chunks)
        next = HighestIdAbove(*chunks, static_cast<int>(next - 1)) + 1LL;
    if (next > std::numeric_limits<int>::max() - static_cast<long long>(count)) {
        // The counter ran out: take the lowest id free in the store and the file.
        auto taken = [&](int id) {
            if (m_chunks.contains(id))
                return true;
            if (!chunks || !chunks->Select(ChunkPath(id).c_str(), false))
                return false;
            chunks->Up();
            return true;
        };
        auto run_taken = [&](long long first) {
            for (long long id = first; id < first + count; ++id)
                if (taken(static_cast<int>(id)))
                    return true;
            return false;
        };
        next = 1;
        while (run_taken(next))
            ++next;
    }
    xml->SetIntAttr(L"next-id", static_cast<int>(next + count));
    xml->Save();
    return static_cast<int>(next);
}

void CChunkStore::TellUnreadable(FileState state, DWORD error, bool rewritten,
                                 std::wstring kept_copy) {
    // A rewrite is always told: the user learns where the kept copy is, also
    // after being told the file did not read.
    if (std::exchange(m_toldUnreadable, !rewritten) && !rewritten)
        return;
    m_notices.push_back({.kind = StoreNotice::Kind::kUnreadable,
                         .state = state,
                         .error = error,
                         .rewritten = rewritten,
                         .kept_copy = std::move(kept_copy)});
}

void CChunkStore::TellNotSaved(DWORD error) {
    if (!std::exchange(m_toldNotSaved, true))
        m_notices.push_back({.kind = StoreNotice::Kind::kNotSaved, .error = error});
}

void CChunkStore::HandOverNotices() {
    // Handed over once the store is consistent: the handler may show a
    // message box, whose message loop may reach the store again.
    auto notices = std::move(m_notices);
    m_notices.clear();
    if (m_notify)
        for (const auto& notice : notices)
            m_notify(notice);
}
