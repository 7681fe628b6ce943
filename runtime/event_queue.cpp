#include "runtime/event_queue.h"

#include <stddef.h>

#include <deque>

// The queue is bounded: a program that stops taking events must not make
// the queue grow without end. Oldest entries go first.
static const size_t kMaxPendingEvents = 4096;

static std::deque<WindowEvent> g_pending;
static thread_local int g_textChangeDepth = 0;
static thread_local WindowEvent g_current;
static thread_local bool g_hasCurrent = false;

static bool SameEvent(const WindowEvent& a, const WindowEvent& b) {
  return a.code == b.code && a.window == b.window && a.control == b.control && a.type == b.type &&
         a.timer == b.timer;
}

bool OfferWindowEvent(const WindowEvent& event) {
  if (event.code == EVENT_GADGET && g_textChangeDepth > 0) return false;
  if (!g_pending.empty() && SameEvent(g_pending.back(), event)) {
    g_pending.back().data = event.data;
    return true;
  }
  if (g_pending.size() >= kMaxPendingEvents) g_pending.pop_front();
  g_pending.push_back(event);
  return true;
}

bool TakeWindowEvent(WindowEvent* event) {
  if (g_pending.empty()) return false;
  *event = g_pending.front();
  g_pending.pop_front();
  SetCurrentWindowEvent(event);
  return true;
}

const WindowEvent* CurrentWindowEvent() { return g_hasCurrent ? &g_current : nullptr; }

void SetCurrentWindowEvent(const WindowEvent* event) {
  g_hasCurrent = event != nullptr;
  if (event) g_current = *event;
}

int PendingWindowEventCount() { return (int)g_pending.size(); }
void ClearWindowEvents() { g_pending.clear(); }

void BeginProgramTextChange() { g_textChangeDepth++; }
void EndProgramTextChange() {
  if (g_textChangeDepth > 0) g_textChangeDepth--;
}
bool ProgramTextChangeActive() { return g_textChangeDepth > 0; }
