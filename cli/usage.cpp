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
      media type, status) and every volume (name, size).
  health DRIVE [--json]
      The drive's temperature and S.M.A.R.T. attribute table.
  clone SOURCE DEST [--range SOURCE_START DEST_START COUNT | --reverse]
        [--retries N] [--yes] [--quiet]
      Copies SOURCE onto DEST sector by sector: the whole source (the
      default), a range of COUNT sectors from SOURCE_START to DEST_START, or
      the whole source from the last sector down (--reverse). Unreadable
      sectors are read N more times (2, 3 or 5; default 2) and, if they stay
      unreadable, marked on DEST and logged. DEST's partition table is erased.
  image SOURCE FILE [--yes] [--quiet]
      Copies SOURCE into the raw image FILE (".img" is appended unless FILE
      ends in it).

SOURCE and DEST are a drive number as `list` shows it, a volume name
(such as sdb1), or a /dev path of a whole disk or partition.

Options:
  --demo          use the built-in simulated drives instead of the real ones
  --demo=DIR      use the simulated drives of the scenario folder DIR
  --log-dir DIR   write operation logs to DIR instead of the default
                  (/var/log/orvel-disk-image for root, else
                  $XDG_STATE_HOME/orvel-disk-image)
  --yes           answer the confirmation question with yes (for scripts);
                  without a terminal and without --yes nothing is written
  --quiet         print no progress
  --json          machine-readable output for list and health
  --help, -h      this text
  --version       the program's version

Exit status: 0 completed, 1 failed, 2 bad usage, 3 cancelled.
Ctrl+C (or SIGTERM) during a copy cancels it; the log then ends with
"Operation Cancelled.".
)";
}

} // namespace orvel::cli
