#pragma once

namespace peldora {

class DownloadNetwork;

// Makes the downloads and the embedded browsers one session: the download cookie jar starts
// with every cookie of the shared browser profile and follows each one the browsers add or
// remove (HttpOnly and Secure ones included), and a cookie that a download's response sets or
// deletes is set or deleted in the profile too. Needs the application object.
void JoinBrowserSession(DownloadNetwork& network);

} // namespace peldora
