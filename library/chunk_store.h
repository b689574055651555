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

#include "library/chunk_reader.h"
#include "library/text_chunk.h"
#include "library/xml_file.h"

class CXMLProps;

// Something about the library the user must be told.
struct StoreNotice {
    enum class Kind {
        // chunks.xml did not read as a library (`state`, with `error` for a
        // held file or a link to what is out of reach), at load or at a save.
        // Told once until it reads again. An empty or damaged file (once it
        // stopped changing) is `rewritten` by a save from the library in
        // memory, after what it held is kept as `kept_copy`, but only when
        // memory holds the whole library; otherwise, and for a held or
        // foreign file, nothing is written and the changes wait in memory.
        kUnreadable,
        // chunks.xml could not be written (`error`; ERROR_SHARING_VIOLATION
        // when other writers kept replacing it); the changes wait in memory.
        // Told once until a save succeeds.
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
    int identical = 0; // skipped: the library holds the same chunk
    int conflicts = 0; // differing, added as "... (conflict)"
};

struct MergeResult {
    enum class Outcome {
        kMerged,
        kUnreadable, // the copy does not read as a library
        // The copy holds encrypted chunks under another data key, and the
        // library's key or the copy's was not given: nothing merged.
        kKeyNotGiven,
        // Its encrypted chunks cannot be stored under the library's key: the
        // library has no master password, or the copy holds no key that
        // decrypts them. Nothing merged.
        kNoKey,
    };
    Outcome outcome = Outcome::kMerged;
    MergeCounts counts{};
    // The copy was saved under another master password for the same data
    // key (changed on the other PC); the library keeps its own.
    bool other_password = false;
};

// The data keys a merge may need, from the user.
class IMergeKeys {
public:
    virtual ~IMergeKeys() = default;
    // The library's data key (the master password may be asked for); false
    // when the user cancelled.
    virtual bool LibraryKey(kelvo::CipherKey& data_key) = 0;
    // The data key of the copy at `path`, which `wrapped` holds under a
    // password that is not the library's: the user is asked for that password
    // and it is tried with UnwrapDataKey. False when the user cancelled.
    virtual bool CopyKey(const std::wstring& path, std::u16string_view wrapped,
                         kelvo::CipherKey& data_key) = 0;
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
    // Stores new chunks (id 0) as PutChunk stores one, all in one save: an
    // import of thousands costs about one write of the library.
    void PutChunks(const std::vector<kelvo::Ref<text_chunk>>& chunks);
    // Removes the chunk from file and store. A chunk no longer in the file
    // leaves the store; one changed elsewhere since it was read stays (in
    // that version) and the user is told; an id in neither changes nothing.
    // While the file cannot be written the chunk leaves the store and its
    // removal waits like a change.
    void DeleteChunk(int id);
    // The library holds no chunk, in memory or in the file as last read: a
    // missing chunks.xml may be made afresh.
    bool IsNewLibrary() const noexcept {
        return m_whole && m_chunks.empty() && m_unsaved.empty() && m_deleted.empty();
    }
    // Changes (deletions too) that no save could write yet, kept in memory.
    bool HasUnsaved() const noexcept { return !m_unsaved.empty() || !m_deleted.empty(); }
    // Tries to write them again.
    void SaveUnsaved();

    // Merges a copy of the library (one a sync client made beside it): a chunk
    // with an id the library lacks is added, a differing one added under a
    // new id as "... (conflict)", and one the library already holds (a
    // conflict chunk of an earlier merge included) is skipped. Encrypted
    // chunks of a copy made under another data key are stored under the
    // library's, with the keys `keys` gives. Once that is saved, the copy is
    // renamed "<name>.merged-<stamp>" (`set_aside`), never deleted. Nothing
    // is merged when the copy does not read as a library or its encrypted
    // chunks cannot be stored under the library's key.
    MergeResult MergeCopy(const std::wstring& path, std::wstring& set_aside, IMergeKeys& keys);

    const Map& Chunks() const noexcept { return m_chunks; }
    // Changes with every load, put and delete: what was worked out from the
    // chunks (their order by title) is still good while it stays the same.
    unsigned Revision() const noexcept { return m_revision; }

private:
    // One write of chunks.xml: the unsaved chunks, the new chunks `added`
    // and the deletions that wait. Taken under the write lock, and done again
    // from a fresh read when another writer replaced the file meanwhile.
    void Write(const std::vector<kelvo::Ref<text_chunk>>& added);
    // One attempt; false when the file changed before it could be replaced.
    bool WriteOnce(const std::vector<kelvo::Ref<text_chunk>>& added);
    // The attempt through the document: the file read, merged and saved.
    bool WriteThroughDocument(const std::vector<kelvo::Ref<text_chunk>>& added);
    // The attempt written from memory in one pass, without reading the file
    // as a document: for a file that is the one the store last read or wrote
    // and holds nothing but what memory holds (m_fileIndex), and a change
    // that meets no other writer's.
    enum class FromMemory {
        kWritten,
        kChanged,  // another writer replaced the file: the next attempt joins it
        kNotTried, // it cannot be done that way; nothing changed
        kFailed,   // not written (a held file among the causes); the new chunks
                   // wait in memory for the document path
    };
    FromMemory WriteFromMemory(const std::vector<kelvo::Ref<text_chunk>>& added);
    // Notes what chunks.xml holds when memory holds all of it and nothing is
    // waiting: when it was just read as holding only the library (`read`,
    // with its size), or when it is, byte for byte, what the writer makes of
    // the library in memory.
    void IndexFile(const ChunksFile* read = nullptr);
    // Writes into the file as read (`xml` inside "chunks"); false when nothing
    // changed in it.
    bool Merge(CXMLProps& xml, const std::vector<kelvo::Ref<text_chunk>>& added,
               std::vector<int>& written);
    // Writes the fresh ids of the renumbered chunks into their elements.
    bool WriteFreshIds(CXMLProps& xml);
    // Memory takes what the file holds (read, or written by a save that
    // joined another writer's changes); changes waiting in memory stay.
    void Apply(ChunksFile& file);
    // Gives chunks that need one a fresh id (ReadChunksFile's `renumber`).
    void Renumber(std::vector<kelvo::Ref<text_chunk>>& chunks, Map& into);
    // The file could not be read as ours: the whole library from memory.
    void Rebuild(CXMLProps& xml);
    void PutOne(CXMLProps& xml, kelvo::Ref<text_chunk> chunk);
    // Gives chunks not yet in the store ids in a row and keeps them as unsaved.
    void Adopt(const std::vector<kelvo::Ref<text_chunk>>& chunks, CXMLProps* xml);
    // Appends the chunk under its id, which the file must not hold.
    void Append(CXMLProps& xml, const text_chunk& chunk);
    // The chunk as the file holds it under the id, with its element entered;
    // null when the file holds none.
    kelvo::Ref<text_chunk> EnterInFile(CXMLProps& xml, int id);
    // Hands out `count` ids in a row, never handed out before and above every
    // id in the store and in `chunks` (inside "chunks"; null when it could not
    // be read): the first of them.
    int NextChunkIds(CXMLProps* chunks, int count);
    // Each told once until the file reads, or saves, again.
    void TellUnreadable(FileState state, DWORD error, bool rewritten = false,
                        std::wstring kept_copy = {});
    void TellNotSaved(DWORD error);
    void HandOverNotices();

    Map m_chunks;
    // Chunks whose change is in memory but not yet in the file.
    std::set<int> m_unsaved;
    // Chunks deleted in memory but not yet in the file, as they were (null:
    // an id the store did not hold); only the version of the file they were
    // read from is removed.
    Map m_deleted;
    // Chunks whose fresh id the file does not carry yet.
    std::set<int> m_renumbered;
    // Memory holds the whole library: it was read from the file, or there was
    // no file. Memory that is not whole never replaces a file that does not
    // read.
    bool m_whole = true;
    // The wrapped data key as last read, written again when the file is
    // rebuilt from memory.
    std::optional<std::wstring> m_password;
    // It comes before the chunks in the file.
    bool m_passwordFirst = false;
    // The ContentHash of chunks.xml as last read or written; none before.
    std::optional<std::uint64_t> m_fileHash;
    // That file's chunks by ascending id with their fingerprints, when it
    // holds nothing but them and m_password: a save may write it afresh.
    struct FileEntry {
        int id;
        std::uint64_t print;
    };
    struct FileIndex {
        std::vector<FileEntry> chunks;
        std::uint64_t size = 0;
    };
    std::optional<FileIndex> m_fileIndex;
    NoticeHandler m_notify;
    std::vector<StoreNotice> m_notices; // raised, not yet handed over
    bool m_toldUnreadable = false;
    bool m_toldNotSaved = false;
    unsigned m_revision = 0;
};
