#pragma once
// A chunk as the user was shown it, held across a modal loop (a question, a
// menu, a dialog), during which the library may be read again and the lists
// rebuilt: the object stays alive whatever the lists and the store let go
// of, and after the loop it tells whether the library still holds that chunk
// as it was shown. Commands hold chunks only this way, never by a reference
// or a pointer into rows that a refresh rebuilds.

#include <cstdint>
#include <utility>

#include "library/chunk_store.h"
#include "library/text_chunk.h"

class CShownChunk {
public:
    explicit CShownChunk(kelvo::Ref<text_chunk> chunk)
        : m_chunk(std::move(chunk)), m_id(m_chunk->id), m_print(m_chunk->Fingerprint()) {}

    const kelvo::Ref<text_chunk>& Held() const noexcept { return m_chunk; }
    const text_chunk& operator*() const noexcept { return *m_chunk; }
    const text_chunk* operator->() const noexcept { return m_chunk.Get(); }

    // The store holds a chunk under the id shown, with the title, tags and
    // text shown.
    bool StillIn(const CChunkStore& store) const {
        const auto found = store.Chunks().find(m_id);
        return found != store.Chunks().end() && found->second->Fingerprint() == m_print;
    }

private:
    kelvo::Ref<text_chunk> m_chunk;
    int m_id;
    std::uint64_t m_print;
};
