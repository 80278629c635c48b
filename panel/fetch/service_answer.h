// Reading the body of an Open-Meteo answer (forecast or geocoding).
//
// The services write strict JSON, so unlike the panel's own forecast
// document an answer is taken only when the reader has nothing to complain
// about: a body cut short by a broken connection, or an error page of a
// proxy, is refused instead of being half read. The services' own error
// answer, {"error": true, "reason": "..."} (sent with HTTP 400), is turned
// into a failure that carries the reason; any other answer with an HTTP
// error status is refused with that status named.
#ifndef SKYVANE_PANEL_FETCH_SERVICE_ANSWER_H_
#define SKYVANE_PANEL_FETCH_SERVICE_ANSWER_H_

#include <QString>
#include <optional>

#include "json/json_value.h"
#include "panel/fetch/http_fetch.h"

namespace skyvane {

// The root object of the body of `fetched`, a service's answer; `service`
// names the service in the failures ("the forecast service"). Raises
// RunError:
//   kTypeMismatch    the body is not one clean JSON object ("... is not
//                    JSON: " and the reader's first complaint), followed by
//                    " (the server answered HTTP 503 ...)" after an HTTP
//                    error status;
//   kInvalidArgument the body is the error answer ("... refused the request:
//                    REASON"), or another JSON object sent with an HTTP
//                    error status ("... answered HTTP 404 Not Found").
JsonValue ReadServiceAnswer(const FetchResult& fetched, const QString& service);

// The text of a String value; Empty, Null and other kinds give the empty
// text.
QString StringOr(const JsonValue& value);

// `value` as a double when it holds a Decimal; nothing otherwise.
std::optional<double> NumberOf(const JsonValue& value);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_FETCH_SERVICE_ANSWER_H_
