#include "ui/browser/library_changes.h"

#include <algorithm>

CLibraryChanges::Subscription&
CLibraryChanges::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        End();
        m_changes = std::exchange(other.m_changes, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

void CLibraryChanges::Subscription::End() noexcept {
    if (!m_changes)
        return;
    std::erase_if(m_changes->m_subscribers, [this](const auto& s) { return s.first == m_id; });
    m_changes = nullptr;
}

CLibraryChanges::Subscription CLibraryChanges::Subscribe(std::function<void()> changed) {
    m_subscribers.emplace_back(++m_lastId, std::move(changed));
    return Subscription(*this, m_lastId);
}

void CLibraryChanges::Notify() {
    std::vector<int> ids;
    for (const auto& subscriber : m_subscribers)
        ids.push_back(subscriber.first);
    for (const int id : ids) {
        const auto found = std::find_if(m_subscribers.begin(), m_subscribers.end(),
                                        [id](const auto& s) { return s.first == id; });
        if (found == m_subscribers.end())
            continue;
        // A copy: the handler may end the subscription that holds it.
        const auto changed = found->second;
        changed();
    }
}
