#pragma once
// The chunk store: every chunk of chunks.xml by ascending id, changed in memory
// and in the file together.
//
// The file may have other writers (another PC through a synced folder, a
// portable copy, a restored backup). Every write reads it afresh and changes
// only what it must: a new chunk is appended under an id no one holds, a
// chunk changed elsewhere since it was read is never overwritten, and a file
// that cannot be read is never replaced by a document holding almost nothing.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "library/text_chunk.h"
#include "library/xml_file.h"

class CXMLProps;

// Something about the library the user must be told.
struct StoreNotice {
    enum class Kind {
        // chunks.xml did not read as a library (`state`, with `error` for a
        // held file), at load or at a save. Told once until it reads again.
        // An empty or damaged file is `rewritten` by a save from the library
        // in memory, after what it held is kept as `kept_copy`; a held or
        // foreign one is never written, and the changes wait in memory.
        kUnreadable,
        // chunks.xml could not be written (`error`); the changes wait in
        // memory. Told once until a save succeeds.
        kNotSaved,
        // Chunk `id` ("title") was changed elsewhere since it was read: that
        // version is kept, and ours was stored as chunk `conflict_id`.
        kConflict,
        // Chunk `id` ("title") was changed elsewhere since it was read, so it
        // was not deleted.
        kNotDeleted,
    };
    Kind kind;
    FileState state = FileState::kRead;
    DWORD error = ERROR_SUCCESS;
    int id = 0;
    int conflict_id = 0;
    bool rewritten = false;
    std::wstring title{};
    std::wstring kept_copy{};
};

// What merging a copy of the library brought.
struct MergeCounts {
    int added = 0;     // under an id the library lacked
    int identical = 0; // skipped
    int conflicts = 0; // differing, added as "... (conflict)"
};

class CChunkStore {
public:
    using Map = std::map<int, kelvo::Ref<text_chunk>>;
    using NoticeHandler = std::function<void(const StoreNotice&)>;

    // Where notices go; set by the application before LoadChunks. Notices are
    // handed over after the operation that raised them is complete.
    void SetNoticeHandler(NoticeHandler handler) { m_notify = std::move(handler); }

    // Fills the store from chunks.xml; elements without a usable id are skipped
    // and of two elements with the same id the later one wins.
    void LoadChunks();
    enum class ReloadResult {
        kUnchanged, // the file holds what the store last read or wrote
        kReloaded,  // the store now holds what the file does
        kNotRead,   // missing, held or not a library: nothing changed
    };
    // Reads chunks.xml again after another writer may have changed it. A
    // chunk whose version in the file is the one its object was read from
    // keeps its object; changes waiting in memory stay; chunks gone from the
    // file leave.
    ReloadResult Reload();

    // Stores a new chunk (id 0) or a changed one, and writes it together with
    // any change an earlier save could not write. Characters XML cannot carry
    // are dropped from it first, in memory too. A new chunk's id is chosen
    // while the file is open, above every id in the file, the store and the
    // counter. A chunk changed elsewhere since it was read keeps that version;
    // this one is then stored as a new chunk titled "... (conflict)" (its id
    // and title change) and the user is told.
    void PutChunk(kelvo::Ref<text_chunk> chunk);
    // Removes the chunk from file and store. A chunk no longer in the file
    // leaves the store; one changed elsewhere since it was read stays (in
    // that version) and the user is told; an id in neither changes nothing.
    void DeleteChunk(int id);
    // Changes that no save could write yet, kept in memory.
    bool HasUnsaved() const noexcept { return !m_unsaved.empty(); }
    // Tries to write them again.
    void SaveUnsaved();

    // Merges a copy of the library (one a sync client made beside it): a chunk
    // with an id the library lacks is added, an identical one skipped, a
    // differing one added under a new id as "... (conflict)". Once that is
    // saved, the copy is renamed "<name>.merged-<stamp>" (`set_aside`), never
    // deleted. Nothing when the copy does not read as a library.
    std::optional<MergeCounts> MergeCopy(const std::wstring& path, std::wstring& set_aside);

    const Map& Chunks() const noexcept { return m_chunks; }
    // Changes with every load, put and delete: what was worked out from the
    // chunks (their order by title) is still good while it stays the same.
    unsigned Revision() const noexcept { return m_revision; }

private:
    // One write of chunks.xml: the unsaved chunks, the new chunks `added`
    // and the deletion of `delete_id` (0: none).
    void Write(const std::vector<kelvo::Ref<text_chunk>>& added, int delete_id);
    // Writes into the file as read (`xml` inside "chunks"); false when nothing
    // changed in it. `removed`: the deleted chunk is to leave the store once
    // that is saved.
    bool Merge(CXMLProps& xml, const std::vector<kelvo::Ref<text_chunk>>& added, int delete_id,
               bool& removed, std::vector<int>& written);
    // The file could not be read as ours: the whole library from memory.
    void Rebuild(CXMLProps& xml);
    void PutOne(CXMLProps& xml, kelvo::Ref<text_chunk> chunk);
    // Gives a chunk not yet in the store an id and keeps it as unsaved.
    void Adopt(const kelvo::Ref<text_chunk>& chunk, CXMLProps* xml);
    // Appends the chunk under its id, which the file must not hold.
    void Append(CXMLProps& xml, const text_chunk& chunk);
    // The chunk as the file holds it under the id, with its element entered;
    // null when the file holds none.
    kelvo::Ref<text_chunk> EnterInFile(CXMLProps& xml, int id);
    // Hands out an id never handed out before and above every id in the
    // store and in `chunks` (inside "chunks"; null when it could not be read).
    int NextChunkId(CXMLProps* chunks);
    // Each told once until the file reads, or saves, again.
    void TellUnreadable(FileState state, DWORD error, bool rewritten = false,
                        std::wstring kept_copy = {});
    void TellNotSaved(DWORD error);
    void HandOverNotices();

    Map m_chunks;
    // Chunks whose change is in memory but not yet in the file.
    std::set<int> m_unsaved;
    // The wrapped data key as last read, written again when the file is
    // rebuilt from memory.
    std::optional<std::wstring> m_password;
    // The ContentHash of chunks.xml as last read or written; none before.
    std::optional<std::uint64_t> m_fileHash;
    NoticeHandler m_notify;
    std::vector<StoreNotice> m_notices; // raised, not yet handed over
    bool m_toldUnreadable = false;
    bool m_toldNotSaved = false;
    unsigned m_revision = 0;
};
