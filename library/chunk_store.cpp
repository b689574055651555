#include "library/chunk_store.h"

#include <algorithm>
#include <limits>

#include "base/utf16.h"
#include "library/chunk_reader.h"
#include "library/data_folder.h"
#include "library/file_replace.h"
#include "library/xml_chars.h"
#include "library/xml_props.h"

using kelvo::Ref;

namespace {

constexpr std::wstring_view kConflictMark = L" (conflict)";

void DropNonXmlChars(std::wstring& text) {
    text = kelvo::AsWide(kelvo::DropNonXmlChars(kelvo::AsU16(text)));
}

// Paths from the "chunks" element. Ids compare as numbers, as the loader reads
// them; of two elements with one id the loader keeps the later.
std::wstring ChunkPath(int id) {
    return L"*[@id=" + std::to_wstring(id) + L"][last()]";
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
    const std::wstring path = ChunksXmlPath();
    ChunksFile file;
    ReadPatiently([&] {
        file = ReadChunksFile(path.c_str());
        return file.state;
    });
    m_chunks = std::move(file.chunks);
    for (const auto& [id, chunk] : m_chunks)
        chunk->file_print = chunk->Fingerprint();
    m_password = std::move(file.password);
    m_fileHash.reset();
    if (file.state == FileState::kRead)
        m_fileHash = file.hash;
    if (file.state != FileState::kRead && file.state != FileState::kMissing)
        TellUnreadable(file.state, file.error);
    HandOverNotices();
}

CChunkStore::ReloadResult CChunkStore::Reload() {
    const std::wstring path = ChunksXmlPath();
    ChunksFile file;
    // A writer that is replacing the file has it held or empty for a moment.
    ReadPatiently([&] {
        file = ReadChunksFile(path.c_str(), m_fileHash);
        return file.state;
    });
    if (file.state != FileState::kRead)
        return ReloadResult::kNotRead;
    m_toldUnreadable = false;
    // What the store last read or wrote itself: its own save, or a touch.
    if (file.unchanged)
        return ReloadResult::kUnchanged;
    ++m_revision;
    Map chunks;
    for (auto& [id, read] : file.chunks) {
        read->file_print = read->Fingerprint();
        auto known = m_chunks.find(id);
        // Lists and editors keep what they hold where the file did not change;
        // a change waiting in memory is checked against the file when saved.
        if (known != m_chunks.end() &&
            (m_unsaved.contains(id) || known->second->file_print == read->file_print))
            chunks[id] = known->second;
        else
            chunks[id] = std::move(read);
    }
    for (int id : m_unsaved)
        if (auto waiting = m_chunks.find(id); waiting != m_chunks.end())
            chunks[id] = waiting->second;
    m_chunks = std::move(chunks);
    m_password = std::move(file.password);
    m_fileHash = file.hash;
    return ReloadResult::kReloaded;
}

void CChunkStore::PutChunk(Ref<text_chunk> chunk) {
    // The file cannot hold what XML cannot carry; the chunk in memory holds
    // what the file will, so a reload never shows something else.
    DropNonXmlChars(chunk->text);
    DropNonXmlChars(chunk->title);
    for (auto& tag : chunk->tags)
        DropNonXmlChars(tag);
    std::erase_if(chunk->tags, [](const std::wstring& tag) { return tag.empty(); });
    if (chunk->id == 0) {
        Write({chunk}, 0);
        return;
    }
    // A new object for a stored chunk was made from the stored one.
    auto& stored = m_chunks[chunk->id];
    if (!chunk->file_print && stored)
        chunk->file_print = stored->file_print;
    stored = chunk;
    m_unsaved.insert(chunk->id);
    Write({}, 0);
}

void CChunkStore::DeleteChunk(int id) {
    Write({}, id);
}

void CChunkStore::SaveUnsaved() {
    if (!m_unsaved.empty())
        Write({}, 0);
}

std::optional<MergeCounts> CChunkStore::MergeCopy(const std::wstring& path,
                                                  std::wstring& set_aside) {
    ChunksFile copy = ReadChunksFile(path.c_str());
    if (copy.state != FileState::kRead)
        return std::nullopt;
    MergeCounts counts;
    std::vector<Ref<text_chunk>> added;
    for (auto& [id, chunk] : copy.chunks) {
        auto known = m_chunks.find(id);
        if (known == m_chunks.end()) {
            // Under its own id unless the file holds that by now.
            m_chunks[id] = chunk;
            m_unsaved.insert(id);
            ++counts.added;
        } else if (known->second->Fingerprint() == chunk->Fingerprint()) {
            ++counts.identical;
        } else {
            chunk->id = 0;
            if (!chunk->title.ends_with(kConflictMark))
                chunk->title += kConflictMark;
            added.push_back(chunk);
            ++counts.conflicts;
        }
    }
    Write(added, 0);
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
    return counts;
}

void CChunkStore::Adopt(const Ref<text_chunk>& chunk, CXMLProps* xml) {
    chunk->id = NextChunkId(xml);
    chunk->file_print.reset();
    m_chunks[chunk->id] = chunk;
    m_unsaved.insert(chunk->id);
}

void CChunkStore::Write(const std::vector<Ref<text_chunk>>& added, int delete_id) {
    // Every path below may change the map (a chunk added, replaced by the
    // file's version, or removed).
    ++m_revision;
    // A chunk that goes is not written first.
    if (delete_id != 0)
        m_unsaved.erase(delete_id);
    auto xml = OpenChunksXml();
    const FileState state = xml->State();
    if (state == FileState::kHeld || xml->Depth() == 0) {
        // Neither read nor kept, so never replaced: the changes wait.
        for (const auto& chunk : added)
            Adopt(chunk, nullptr);
        if (state == FileState::kHeld || state == FileState::kForeign)
            TellUnreadable(state, xml->ReadError());
        else
            TellNotSaved(ERROR_INVALID_DATA); // no XML layer
        HandOverNotices();
        return;
    }

    bool changed = true;
    bool remove = false;      // the deleted chunk leaves the store
    std::vector<int> written; // chunks the file will hold as they are in memory
    if (state == FileState::kRead) {
        m_toldUnreadable = false;
        m_password = xml->Select(L"password", false) ? xml->GetText() : std::nullopt;
        if (m_password)
            xml->Up();
        changed = xml->Select(L"chunks", true) && Merge(*xml, added, delete_id, remove, written);
    } else {
        // Empty, damaged or gone: nothing of it can be kept but a copy of what
        // it held, so the save holds the whole library in memory.
        for (const auto& chunk : added)
            Adopt(chunk, nullptr);
        remove = delete_id != 0;
        auto kept = m_chunks.extract(delete_id);
        Rebuild(*xml);
        if (kept)
            m_chunks.insert(std::move(kept));
        for (const auto& [id, chunk] : m_chunks)
            if (id != delete_id)
                written.push_back(id);
    }

    if (changed) {
        ::SetLastError(ERROR_SUCCESS);
        if (!xml->Save()) {
            const DWORD error = ::GetLastError();
            TellNotSaved(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
            HandOverNotices();
            return;
        }
        m_toldNotSaved = false;
        m_unsaved.clear();
        m_fileHash = xml->SavedHash();
        for (int id : written) {
            const auto& chunk = m_chunks.at(id);
            chunk->file_print = chunk->Fingerprint();
        }
        if (state == FileState::kEmpty || state == FileState::kDamaged)
            TellUnreadable(state, ERROR_SUCCESS, true, xml->KeptCopy());
    }
    if (remove)
        m_chunks.erase(delete_id);
    HandOverNotices();
}

bool CChunkStore::Merge(CXMLProps& xml, const std::vector<Ref<text_chunk>>& added, int delete_id,
                        bool& removed, std::vector<int>& written) {
    bool changed = false;
    // Not in the file (any more): it only leaves the store.
    removed = delete_id != 0;
    if (Ref<text_chunk> disk = delete_id != 0 ? EnterInFile(xml, delete_id) : Ref<text_chunk>()) {
        auto known = m_chunks.find(delete_id);
        const auto base =
            known != m_chunks.end() ? known->second->file_print : std::optional<std::uint64_t>();
        if (base && disk->file_print == base) {
            xml.RemoveCurrent();
            changed = true;
        } else {
            xml.Up();
            // Changed elsewhere, or another's chunk under an id ours never had
            // in the file: the file's version stays, and is shown.
            if (base)
                m_notices.push_back({.kind = StoreNotice::Kind::kNotDeleted,
                                     .id = delete_id,
                                     .title = disk->title});
            m_chunks[delete_id] = std::move(disk);
            removed = false;
        }
    }
    for (int id : std::vector<int>(m_unsaved.begin(), m_unsaved.end())) {
        auto chunk = m_chunks.find(id);
        if (chunk != m_chunks.end()) {
            PutOne(xml, chunk->second);
            written.push_back(chunk->second->id);
            changed = true;
        }
    }
    for (const auto& chunk : added) {
        Adopt(chunk, &xml);
        Append(xml, *chunk);
        written.push_back(chunk->id);
        changed = true;
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
    Adopt(chunk, &xml);
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

int CChunkStore::NextChunkId(CXMLProps* chunks) {
    auto xml = OpenSettingsXml();
    // The counter may have been lost, not saved, or be behind another writer's.
    long long next = std::max(xml->GetIntAttr(L"next-id", 1), 1);
    if (!m_chunks.empty())
        next = std::max(next, m_chunks.rbegin()->first + 1LL);
    if (chunks)
        next = HighestIdAbove(*chunks, static_cast<int>(next - 1)) + 1LL;
    if (next >= std::numeric_limits<int>::max()) {
        // The counter ran out: take the lowest id free in the store and the file.
        auto taken = [&](int id) {
            if (m_chunks.contains(id))
                return true;
            if (!chunks || !chunks->Select(ChunkPath(id).c_str(), false))
                return false;
            chunks->Up();
            return true;
        };
        next = 1;
        while (taken(static_cast<int>(next)))
            ++next;
    }
    xml->SetIntAttr(L"next-id", static_cast<int>(next + 1));
    xml->Save();
    return static_cast<int>(next);
}

void CChunkStore::TellUnreadable(FileState state, DWORD error, bool rewritten,
                                 std::wstring kept_copy) {
    if (std::exchange(m_toldUnreadable, true))
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
