#include "engine/collide/sweep_report.h"

#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_status.h"

namespace {

constexpr float kDefaultBackoff = 0.001f;

struct Answer {
  std::int32_t pass;
  std::int32_t reportRemaining;
  // How far along the motion the stop lies: the contact time less the back-off.
  float along;
};

Answer ask(R3xSweepQuery* query, R3xContact* contact) {
  std::int32_t pass = 0;
  std::int32_t reportRemaining = 0;
  float backoff = kDefaultBackoff;
  query->hit(contact, query->user, &pass, &reportRemaining, &backoff);
  // A solid obstacle stops the sweep whatever the callback says.
  if (contact->contactClass == R3X_CONTACT_OBSTACLE && contact->passable == 0) {
    pass = 0;
  }
  if (backoff < 0.0f) {
    backoff = 0.0f;
  }
  return {pass, reportRemaining, contact->time - backoff};
}

void writeStop(const R3xSweepQuery* query, float along) {
  if (query->outPosition == nullptr) {
    return;
  }
  const R3xSweepSegment& s = query->segment;
  for (int i = 0; i < 3; ++i) {
    query->outPosition[i] = along > 0.0f ? s.start[i] + s.direction[i] * along : s.start[i];
  }
}

// The hit function's answer; unless it lets the sweep pass, the contact becomes the stop and
// the stop position is written.
Answer stopUnlessPassed(R3xSweepQuery* query, R3xContact* contact) {
  const Answer answer = ask(query, contact);
  if (answer.pass == 0) {
    query->contacts->stopContact = contact;
    writeStop(query, answer.along);
  }
  return answer;
}

}  // namespace

std::uint32_t _r3xDefaultSweepFilter(R3xActor* /*actor*/, void* /*user*/) {
  return R3X_SWEEP_VISIT_PARTS | R3X_SWEEP_PARTS | R3X_SWEEP_VOLUME | R3X_SWEEP_EXACT;
}

std::int32_t _r3xDefaultSweepHit(R3xContact* contact, void* /*user*/, std::int32_t* pass,
                                 std::int32_t* reportRemaining, float* backoff) {
  *pass = contact->passable;
  *reportRemaining = 1;
  *backoff = kDefaultBackoff;
  return R3X_DONE;
}

std::int32_t _r3xReportSweepContact(R3xSweepQuery* query, R3xContact* contact) {
  const Answer answer = stopUnlessPassed(query, contact);
  return answer.pass != 0 ? answer.pass : R3X_SWEEP_STOPPED;
}

std::int32_t _r3xReportSweepListContact(R3xSweepQuery* query, R3xContact* contact) {
  const Answer answer = stopUnlessPassed(query, contact);
  if (answer.pass != 0) {
    return answer.pass;
  }
  if (query->outRemaining != nullptr) {
    const bool remaining = answer.reportRemaining != 0 && query->wantRemaining != 0;
    const float distance = query->segment.distance;
    *query->outRemaining = !remaining            ? 0.0f
                           : answer.along > 0.0f ? distance - answer.along
                                                 : distance;
  }
  return R3X_SWEEP_STOPPED;
}
