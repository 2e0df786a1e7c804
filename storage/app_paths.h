#pragma once

#include <QString>

namespace chanwright {

// The folder for the defaults files and "err.log": beside the executable when that folder is
// writable, the per-user application data folder otherwise (created when missing).
QString ResolveDataFolder(const QString& executableFolder, const QString& userDataFolder);

// ResolveDataFolder for this process: its executable's folder and the per-user application data
// folder of the platform.
QString ApplicationDataFolder();

// The defaults file of a model inside the data folder: "<folder>/<ModelName>.def".
QString DefaultsFilePath(const QString& dataFolder, const QString& modelName);

}  // namespace chanwright
