// When the panel refreshes its forecast after the fetch at start.
//
// With an interval of N minutes (0, the default, plans nothing: the fetch at
// start stays the only one), a refresh is due
//   - N minutes after the last refresh ended;
//   - just after local midnight (kAfterMidnight past it), once each night,
//     so that the day texts move on;
//   - at once when the machine wakes from suspend (Woke(), or the clock's
//     jumped()), and when the wall clock is set;
//   - after a refresh that got no answer (or a busy answer: 429, 500, 502,
//     503, 504), sooner: 1, 2, 4 ... minutes after it (kFirstRetry, doubled
//     after each further one), never later than kMaxRetry or N, and never
//     before the server's Retry-After.
// With retries by default (SetRetryByDefault, for a place's forecast) the
// retries and the refresh after midnight are planned at an interval of 0
// too, and a wake when the date changed or the last refresh failed makes
// one due.
// A spread (SetSpread) moves each planned interval, retry or wait after
// midnight by a part of it, so that many panels do not ask at the same
// second.
// While the network is offline (SetOnline), a refresh that comes due waits;
// when the network is back and one waits or the last one failed, it is
// due kAfterOnline later.
// Every refresh, whatever started it, ends the same way (RefreshEnded), and
// the next one is planned from there, so a refresh asked for by the user
// also puts the next planned one off.
//
// One wake-up of the clock is armed, for the earliest due time; none while
// the interval is 0 or a refresh is under way, so nothing runs while nothing
// is due. Not thread-safe; lives on the panel's thread.
#ifndef SKYVANE_PANEL_SCHEDULE_REFRESH_SCHEDULE_H_
#define SKYVANE_PANEL_SCHEDULE_REFRESH_SCHEDULE_H_

#include <QDateTime>
#include <QObject>
#include <chrono>
#include <functional>
#include <optional>

#include "panel/schedule/schedule_clock.h"

namespace skyvane {

// A spread drawn at random, evenly between -kMaxSpread and kMaxSpread.
double RandomRefreshSpread();

class RefreshSchedule : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    kUpdated,   // all seven columns were written
    kFailed,    // an answer came, but no whole forecast could be read from it
    kNoAnswer,  // the fetch got no answer at all
    kBusy,      // the server answered 429, 500, 502, 503 or 504
  };
  // A part of the planned delay, between -0.1 and 0.1, to move it by.
  using Spread = std::function<double()>;

  static constexpr std::chrono::minutes kFirstRetry{1};
  static constexpr std::chrono::minutes kAfterMidnight{1};
  static constexpr std::chrono::minutes kMaxRetry{30};
  static constexpr std::chrono::seconds kAfterOnline{3};
  static constexpr double kMaxSpread = 0.1;

  // `clock` must outlive the schedule. The interval starts at 0.
  explicit RefreshSchedule(ScheduleClock* clock, QObject* parent = nullptr);

  // Sets the interval (0 plans nothing) and plans afresh from the end of
  // the last refresh; a due time that has passed makes a refresh due at once.
  void SetInterval(std::chrono::minutes interval);
  std::chrono::minutes Interval() const { return interval_; }

  // A refresh began, whatever its cause: nothing is planned until it ends.
  void RefreshStarted();
  // A refresh ended now with `outcome`: plans the next one. `retry_after`,
  // the server's wish, puts a retry off when it is later.
  void RefreshEnded(Outcome outcome, std::optional<std::chrono::seconds> retry_after = {});
  // Retries and the refresh after midnight even at an interval of 0.
  void SetRetryByDefault(bool on);
  // Moves every planned interval, retry and wait after midnight by
  // `spread()` of it; none: 0.
  void SetSpread(Spread spread);
  // The length of the retries' minute (a minute unless a test makes it
  // shorter): the retries wait 1, 2, 4 ... units, at most kMaxRetry's
  // count of them.
  void SetRetryUnit(std::chrono::milliseconds unit);
  // The network went offline or came back.
  void SetOnline(bool online);
  // True when the last refresh got no answer or a busy one.
  bool Retrying() const { return unanswered_ > 0; }
  // The machine woke from suspend: a refresh is due at once, unless the
  // interval is 0 or one is under way.
  void Woke();

  // When the next refresh is due; none while nothing is planned (interval
  // 0, no refresh has ended yet, or one is due or under way).
  std::optional<QDateTime> Next() const { return next_; }

 signals:
  // A refresh is due now. The owner refreshes and reports the end with
  // RefreshEnded; until then nothing further is due.
  void due();

 private:
  void Plan();
  void ClockWoke();
  void MakeDue();
  std::chrono::milliseconds RetryDelay() const;
  std::chrono::milliseconds WithSpread(std::chrono::milliseconds delay) const;
  bool Planning() const;

  ScheduleClock* clock_;
  std::chrono::minutes interval_{0};
  std::optional<QDateTime> last_end_;
  std::optional<QDateTime> next_;
  // Refreshes in a row that got no answer.
  int unanswered_ = 0;
  // A refresh is due or under way.
  bool busy_ = false;
  bool retry_by_default_ = false;
  bool online_ = true;
  // A refresh came due while offline.
  bool waiting_ = false;
  std::optional<std::chrono::seconds> retry_after_;
  Spread spread_;
  std::chrono::milliseconds retry_unit_ = std::chrono::minutes(1);
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SCHEDULE_REFRESH_SCHEDULE_H_
