#pragma once
// The receiver's side of the six operations. Each is called right after
// its request frame has arrived, runs the exchange to its end, and returns
// the step that ended it: `next` holds a new request that interrupted it.

#include "sim/session.h"

namespace tavlink::sim {

// FC_CONNECT: FC_ACK, the 96-byte identification, FC_CONNECT_END.
Step RunConnect(Session& session);

// FC_USERDATA: FC_ACK at 115200 baud, then (once the PC has switched to
// 19200) the user data block in frames of options.payloadSize bytes, then
// FC_USERDATA_END.
Step RunUserData(Session& session);

// FC_BACKUP: FC_ACK, the backup payloads, FC_BACKUP_END.
Step RunBackup(Session& session);

// FC_RESTORE: FC_ACK, the PC's data frames until FC_RESTORE_END; a valid
// block becomes the user data.
Step RunRestore(Session& session);

// FC_UPGRADE and FC_FACTORY: the ready handshake, then the PC's data frames
// until the closing code. The image is kept (and written to
// options.romOutPath); the factory block becomes the user data.
Step RunUpgrade(Session& session);
Step RunFactory(Session& session);

}  // namespace tavlink::sim
