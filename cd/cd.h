#pragma once
// Audio CD import: drives, the table of contents, the CDDB look-up and the
// ripping of tracks into sound buffers.

#include "cd/cd_drive.h"
#include "cd/cddb_client.h"
#include "cd/cddb_disc_id.h"
#include "cd/cddb_entry_parser.h"
#include "cd/cue_sheet.h"
#include "cd/disc_image_drive.h"
#include "cd/disc_record.h"
#include "cd/scsi_commands.h"
#include "cd/track_ripper.h"
