#include "platform/forms/Dispatch.h"

#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace orv {
namespace {

struct PendingHandler {
  TClass (*cls)();
  win::UINT msg;
  MessageHandler handler;
};

// Registrations run during static initialisation, before every metaclass
// necessarily exists, so they are kept as given and sorted into per-class
// tables on the first lookup after them.
struct ClassAndMessage {
  TClass cls;
  win::UINT msg;
  bool operator==(const ClassAndMessage& o) const { return cls == o.cls && msg == o.msg; }
};

struct ClassAndMessageHash {
  std::size_t operator()(const ClassAndMessage& k) const {
    return std::hash<const void*>()(k.cls) ^ (std::size_t(k.msg) * 0x9E3779B97F4A7C15ull);
  }
};

struct HandlerTables {
  std::mutex lock;
  std::vector<PendingHandler> pending;
  std::unordered_map<TClass, std::unordered_map<win::UINT, MessageHandler>> tables;
  // What a class answers for a message, its ancestors' handlers included
  // (null: none): every message a control receives is looked up, through
  // a dozen classes for the deeper ones.
  std::unordered_map<ClassAndMessage, MessageHandler, ClassAndMessageHash> resolved;
};

HandlerTables& Tables() {
  static HandlerTables* tables = new HandlerTables;
  return *tables;
}

void SettlePending(HandlerTables& t) {
  for (const PendingHandler& p : t.pending) t.tables[p.cls()][p.msg] = p.handler;
  t.pending.clear();
  t.resolved.clear();
}

MessageHandler OwnHandler(const HandlerTables& t, TClass cls, win::UINT msg) {
  auto table = t.tables.find(cls);
  if (table == t.tables.end()) return nullptr;
  auto entry = table->second.find(msg);
  return entry == table->second.end() ? nullptr : entry->second;
}

}  // namespace

bool AddMessageHandler(TClass (*cls)(), win::UINT msg, MessageHandler handler) {
  HandlerTables& t = Tables();
  std::lock_guard<std::mutex> guard(t.lock);
  t.pending.push_back({cls, msg, handler});
  return true;
}

MessageHandler FindOwnMessageHandler(TClass cls, win::UINT msg) {
  HandlerTables& t = Tables();
  std::lock_guard<std::mutex> guard(t.lock);
  if (!t.pending.empty()) SettlePending(t);
  return OwnHandler(t, cls, msg);
}

MessageHandler FindMessageHandler(TClass cls, win::UINT msg) {
  HandlerTables& t = Tables();
  std::lock_guard<std::mutex> guard(t.lock);
  if (!t.pending.empty()) SettlePending(t);
  auto [it, added] = t.resolved.try_emplace({cls, msg}, nullptr);
  if (added)
    for (TClass c = cls; c; c = c->ClassParent())
      if (MessageHandler h = OwnHandler(t, c, msg)) {
        it->second = h;
        break;
      }
  return it->second;
}

}  // namespace orv
