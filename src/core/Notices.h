#pragma once

#include <QLatin1String>
#include <QString>

namespace quillet {

// A failure the user should see but need not answer (an export that could not
// be written, a save that failed while typing): the window shows it in its
// message bar and keeps the keyboard where it was. Posted on the default
// notification center, from any thread, with the message and its topic in the
// user info. A notice replaces the shown one of its topic; an empty message
// withdraws it, as when a later try of the same thing worked.
inline constexpr QLatin1String kNoticePosted("QuilletNoticePosted");
inline constexpr QLatin1String kNoticeMessageKey("message");
inline constexpr QLatin1String kNoticeTopicKey("topic");

namespace Notices {
void post(const QString& topic, const QString& message);
void withdraw(const QString& topic);
} // namespace Notices

} // namespace quillet
