#pragma once
// The news that the chunk library changed other than through the window that
// shows it, for that window to show it again.

#include <functional>
#include <utility>
#include <vector>

class CLibraryChanges {
public:
    // Ends its subscription when it goes; it must go before the
    // CLibraryChanges it came from.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept
            : m_changes(std::exchange(other.m_changes, nullptr)), m_id(other.m_id) {}
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription() { End(); }

    private:
        friend class CLibraryChanges;
        Subscription(CLibraryChanges& changes, int id) : m_changes(&changes), m_id(id) {}
        void End() noexcept;

        CLibraryChanges* m_changes = nullptr;
        int m_id = 0;
    };

    CLibraryChanges() = default;
    CLibraryChanges(const CLibraryChanges&) = delete;
    CLibraryChanges& operator=(const CLibraryChanges&) = delete;

    // `changed` runs at every change until the subscription goes.
    [[nodiscard]] Subscription Subscribe(std::function<void()> changed);
    // Runs the subscribers; one may end its own or another's subscription
    // meanwhile.
    void Notify();

private:
    std::vector<std::pair<int, std::function<void()>>> m_subscribers;
    int m_lastId = 0;
};
