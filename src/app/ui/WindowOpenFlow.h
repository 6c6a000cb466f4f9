// The open flow as the main window runs it for File > Open, the automatic
// open at start-up and Unlock: the database open is closed, the flow asks
// for a database and its passphrase, and what it opens is handed over.
#pragma once

namespace lockwell {

class MainWindow;

void RunOpenDatabaseFlow(MainWindow& window);

}  // namespace lockwell
