#include "panel/sources/met_norway_terms.h"

#include <QLocale>
#include <QTimeZone>
#include <cstdio>

#include "panel/sources/met_norway_memory.h"

namespace skyvane {

namespace {

constexpr int kOk = 200;
constexpr int kNonAuthoritative = 203;
constexpr int kNotModified = 304;
constexpr int kForbidden = 403;
constexpr int kTooManyRequests = 429;

QString TimeText(const QDateTime& time) {
  return time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
}

FetchResult KeptAnswer(const QString& body) {
  return FetchResult{body, QString(), kOk, QStringLiteral("OK")};
}

FetchResult Failure(const QString& problem) {
  return FetchResult{QString(), problem};
}

void SayIgnored(const QString& problem) {
  std::fprintf(stderr, "skyvane: MET Norway's kept terms are ignored: %s\n",
               problem.toLocal8Bit().constData());
  std::fflush(stderr);
}

}  // namespace

QByteArray MetNorwayUserAgent() {
  QByteArray agent = QByteArrayLiteral("skyvane/" SKYVANE_PROJECT_VERSION);
  const QByteArray homepage = QByteArrayLiteral(SKYVANE_HOMEPAGE);
  if (!homepage.isEmpty()) agent += " (+" + homepage + ')';
  return agent;
}

std::optional<QDateTime> ReadHttpDate(const QByteArray& text) {
  QDateTime time = QLocale::c().toDateTime(QString::fromLatin1(text).trimmed(),
                                           QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
  if (!time.isValid()) return std::nullopt;
  time.setTimeZone(QTimeZone::utc());
  return time;
}

MetNorwayClient::MetNorwayClient(HeaderFetch fetch, Clock clock, QByteArray user_agent)
    : fetch_(std::move(fetch)), clock_(std::move(clock)), user_agent_(std::move(user_agent)) {}

void MetNorwayClient::KeepIn(const QString& path) {
  memory_path_ = path;
}

MetNorwayClient::Kept MetNorwayClient::Recall(const QString& address) const {
  if (memory_path_.isEmpty()) return Kept{};
  MetNorwayMemoryRead read = ReadMetNorwayMemory(memory_path_, clock_());
  if (!read.problem.isEmpty()) SayIgnored(read.problem);
  if (!read.memory || read.memory->address != address) return Kept{};
  return Kept{std::move(read.memory->body), read.memory->last_modified, read.memory->not_before,
              read.memory->after_refusal, false};
}

void MetNorwayClient::Remember(const QString& address, const Kept& kept) const {
  if (memory_path_.isEmpty()) return;
  const QString problem = WriteMetNorwayMemory(
      memory_path_,
      MetNorwayMemory{address, kept.last_modified, kept.not_before, kept.after_refusal, kept.body});
  if (!problem.isEmpty()) SayIgnored(problem);
}

MetNorwayClient::Answer MetNorwayClient::Ask(const QString& address) {
  auto found = kept_.find(address);
  if (found == kept_.end()) found = kept_.emplace(address, Recall(address)).first;
  Kept& kept = found->second;
  const QDateTime now = clock_();
  if (kept.not_before.isValid() && now < kept.not_before) {
    const QString until = TimeText(kept.not_before);
    if (kept.after_refusal) {
      const QString note =
          QStringLiteral("MET Norway asked for no request before %1 (HTTP 429)").arg(until);
      return {kept.body.isEmpty() ? Failure(note) : KeptAnswer(kept.body), note};
    }
    if (!kept.body.isEmpty()) {
      return {KeptAnswer(kept.body),
              QStringLiteral("MET Norway's forecast holds until %1; not asked again before then")
                  .arg(until)};
    }
  }

  FetchHeaders headers{{QByteArrayLiteral("User-Agent"), user_agent_}};
  if (!kept.body.isEmpty() && !kept.last_modified.isEmpty()) {
    headers.emplace_back(QByteArrayLiteral("If-Modified-Since"), kept.last_modified);
  }
  FetchResult fetched = fetch_(address, headers);
  if (!fetched.problem.isEmpty()) return {fetched, QString()};
  Answer answer = Answered(kept, std::move(fetched), now);
  Remember(address, kept);
  return answer;
}

MetNorwayClient::Answer MetNorwayClient::Answered(Kept& kept, FetchResult fetched,
                                                  const QDateTime& now) {
  kept.after_refusal = false;
  kept.not_before = QDateTime();

  const auto keep_expiry = [&] {
    const std::optional<QDateTime> expires = ReadHttpDate(fetched.Header("Expires"));
    if (expires && *expires > now) kept.not_before = *expires;
  };
  switch (fetched.status) {
    case kOk:
    case kNonAuthoritative: {
      kept.body = fetched.text;
      kept.last_modified = fetched.Header("Last-Modified");
      keep_expiry();
      QString note;
      if (fetched.status == kNonAuthoritative) {
        note = QStringLiteral(
            "MET Norway says this product is deprecated or in beta (HTTP 203); it may change or "
            "go away");
        if (!kept.warned) {
          std::fprintf(stderr, "skyvane: warning: %s\n", note.toLocal8Bit().constData());
          std::fflush(stderr);
          kept.warned = true;
        }
      }
      return {fetched, note};
    }
    case kNotModified:
      keep_expiry();
      if (kept.body.isEmpty()) break;
      return {KeptAnswer(kept.body), QStringLiteral("MET Norway's forecast is unchanged")};
    case kTooManyRequests: {
      const QByteArray retry = fetched.Header("Retry-After").trimmed();
      bool seconds_given = false;
      const qint64 seconds = retry.toLongLong(&seconds_given);
      std::optional<QDateTime> until = ReadHttpDate(retry);
      if (seconds_given && seconds >= 0) until = now.addSecs(seconds);
      if (!until || *until <= now) {
        until = now.addSecs(std::chrono::seconds(kRetryAfterDefault).count());
      }
      kept.not_before = *until;
      kept.after_refusal = true;
      const QString note = QStringLiteral("MET Norway asked for no request before %1 (%2)")
                               .arg(TimeText(*until), fetched.ErrorStatus());
      return {kept.body.isEmpty() ? Failure(note) : KeptAnswer(kept.body), note};
    }
    case kForbidden:
      return {Failure(QStringLiteral("MET Norway refused the request (%1): it refuses a "
                                     "User-Agent it does not accept (sent: \"%2\") and "
                                     "coordinates with more than 4 decimals")
                          .arg(fetched.ErrorStatus(), QString::fromLatin1(user_agent_))),
              QString()};
    default:
      break;
  }
  return {fetched, QString()};
}

}  // namespace skyvane
