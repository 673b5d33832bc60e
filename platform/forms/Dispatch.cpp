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
struct HandlerTables {
  std::mutex lock;
  std::vector<PendingHandler> pending;
  std::unordered_map<TClass, std::unordered_map<win::UINT, MessageHandler>> tables;
};

HandlerTables& Tables() {
  static HandlerTables* tables = new HandlerTables;
  return *tables;
}

void SettlePending(HandlerTables& t) {
  for (const PendingHandler& p : t.pending) t.tables[p.cls()][p.msg] = p.handler;
  t.pending.clear();
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
  auto table = t.tables.find(cls);
  if (table == t.tables.end()) return nullptr;
  auto entry = table->second.find(msg);
  return entry == table->second.end() ? nullptr : entry->second;
}

MessageHandler FindMessageHandler(TClass cls, win::UINT msg) {
  for (TClass c = cls; c; c = c->ClassParent())
    if (MessageHandler h = FindOwnMessageHandler(c, msg)) return h;
  return nullptr;
}

}  // namespace orv
