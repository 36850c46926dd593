#pragma once
// The connection probe before a news download: asks the platform whether the machine is online.

namespace zanit {

// False only when the platform reports that there is no network connection; a platform that cannot tell
// (no reachability service, or it has not decided yet) counts as connected.
bool Verbindungstest();

}  // namespace zanit
