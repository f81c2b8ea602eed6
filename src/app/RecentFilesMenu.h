#pragma once

#include <QString>

#include <functional>

class QMenu;

namespace quendrix {

/// File > "Recent files": the files last imported as file 1 and as file 2, each entry importing
/// its file again as the same file. The lists are the user's, kept between runs.
class RecentFilesMenu {
  public:
    using Import = std::function<void(int f, const QString& path)>;
    RecentFilesMenu(QMenu& menu, Import import);

    /// Lists the remembered files as they are now; done each time the menu opens.
    void refresh();

  private:
    QMenu& menu_;
    Import import_;
};

} // namespace quendrix
