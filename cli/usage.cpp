#include "cli/usage.h"

#include <ostream>

namespace orvel::cli {

void printUsage(std::ostream& out)
{
    out << R"(Usage: orvel-disk-image [--demo[=DIR]] [COMMAND ...]

Without a command the desktop program starts.

Commands:
  list [--json]
      Every physical drive (number, model, serial number, size, interface,
      media type, status) and every volume (name, the drive it is on, size).
  health DRIVE [--json]
      The drive's temperature, status and S.M.A.R.T. attribute table, or an
      NVMe drive's health log.
  clone SOURCE DEST [--range SOURCE_START DEST_START COUNT | --reverse]
        [--retries N] [--yes] [--quiet] [--verify]
        [--resume MAP | --retry-bad MAP]
      Copies SOURCE onto DEST sector by sector: the whole source (the
      default), a range of COUNT sectors from SOURCE_START to DEST_START, or
      the whole source from the last sector down (--reverse). Unreadable
      sectors are read N more times (0 to 100, default 2; the desktop
      program offers 2, 3 or 5) and, if they stay unreadable, marked on DEST
      and logged. When DEST is a whole drive its partition table is erased
      first, whichever of the three is copied; a volume is dismounted (or
      locked) first and its drive's partition table is left alone.
      Sector numbers and counts are whole numbers of digits only.
  image SOURCE FILE [--yes] [--quiet] [--verify]
        [--resume MAP | --retry-bad MAP]
      Copies SOURCE into the raw image FILE (".img" is appended unless FILE
      ends in it; an existing file is replaced). Unreadable sectors are read
      5 more times, as in the desktop program. FILE.sha256 is written beside
      it, in the format `sha256sum -c` reads.
  restore IMAGE DEST [--verify | --no-verify] [--yes] [--quiet]
      Writes the image file IMAGE onto DEST from its first sector, and
      nothing past the image's end. DEST is prepared as for clone. IMAGE
      must be a whole number of DEST's sectors and no larger than DEST; when
      IMAGE.sha256 exists the image's bytes must match it. Verifies unless
      --no-verify.
  verify IMAGE [--quiet]
      Reads IMAGE whole and compares it with IMAGE.sha256. Exit status 0
      when they match, 1 when they do not or there is no IMAGE.sha256.

Every clone and image writes a rescue map beside its log (NAME.map for
NAME.log) in GNU ddrescue's map-file format, saved at least every 30
seconds and when the operation ends. --resume MAP goes on with the
operation the map describes, reading only what it had not finished (the
partition table of a whole destination drive is not erased again);
--retry-bad MAP reads only the sectors the map marks bad, N more times
each, and writes those that now read over their markers. SOURCE, DEST
and the range must be those the map names: a drive is recognised by its
model, serial number, size and sector size, whatever its number now.

--verify reads the destination back after the copy (the source is not read
again) and compares it with what was written; a difference fails the
operation, and the log names the first sector of the 1 MiB region that
differs.

SOURCE and DEST are a drive number as `list` shows it, a volume name
(such as sdb1), or a /dev path of a whole disk or partition. Before the
question, clone and image say what will be copied onto what.

Options:
  --demo          use the built-in simulated drives instead of the real ones
  --demo=DIR      use the simulated drives of the scenario folder DIR
  --log-dir DIR   write operation logs to DIR instead of the default
                  (/var/log/orvel-disk-image for root, else
                  $XDG_STATE_HOME/orvel-disk-image); --demo logs go
                  there too
  --yes           answer the confirmation question with yes (for scripts);
                  without a terminal and without --yes nothing is written
  --quiet         print no progress
  --json          machine-readable output for list and health
  --help, -h      this text
  --version       the program's version

Exit status: 0 completed, 1 failed, 2 bad usage (reported before any
question), 3 cancelled or answered No. A failed verification exits 1.
Ctrl+C (or SIGTERM) during a copy cancels it; the log then ends with
"Operation Cancelled.".
)";
}

} // namespace orvel::cli
