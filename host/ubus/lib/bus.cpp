#include "bus.h"

#include <algorithm>
#include <set>

namespace ubus_standin {

Bus& Bus::Get() {
    static Bus* bus = new Bus;  // never destroyed: contexts may outlive static destructors
    return *bus;
}

Client* Bus::ClientOf(const ubus_context* ctx, const char* call) {
    auto it = clients_.find(ctx);
    if (it == clients_.end())
        Die("%s: context %p is not connected", call, static_cast<const void*>(ctx));
    return it->second.get();
}

Client* Bus::AddClient(ubus_context* ctx, int event_fd) {
    auto client = std::make_unique<Client>(ctx, NewId(), event_fd);
    Client* raw = client.get();
    clients_[ctx] = std::move(client);
    return raw;
}

std::unique_ptr<Client> Bus::RemoveClient(const ubus_context* ctx) {
    auto it = clients_.find(ctx);
    if (it == clients_.end()) return nullptr;
    std::unique_ptr<Client> client = std::move(it->second);
    clients_.erase(it);
    return client;
}

void Bus::RemoveObject(uint32_t id) {
    auto it = objects_.find(id);
    if (it == objects_.end()) return;
    auto named = names_.find(it->second.name);
    if (named != names_.end() && named->second == id) names_.erase(named);
    subscriptions_.erase(std::remove_if(subscriptions_.begin(), subscriptions_.end(),
                                        [id](const Subscription& s) { return s.object_id == id; }),
                         subscriptions_.end());
    objects_.erase(it);
}

std::vector<uint32_t> Bus::Listeners(const char* type) const {
    std::vector<uint32_t> ids;
    std::set<uint32_t> seen;
    for (const Subscription& s : subscriptions_)
        if (PatternMatches(s.pattern, type) && seen.insert(s.object_id).second)
            ids.push_back(s.object_id);
    return ids;
}

bool PatternMatches(const std::string& pattern, const char* type) {
    if (!pattern.empty() && pattern.back() == '*')
        return strncmp(type, pattern.data(), pattern.size() - 1) == 0;
    return pattern == type;
}

}  // namespace ubus_standin
