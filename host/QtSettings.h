// SPDX-License-Identifier: GPL-3.0-or-later
// The machine's settings store, kept by QSettings under the application's
// identity (see storage/AppIdentity.h), which main sets first.
#pragma once

#include "engine/Host.h"

namespace vx {

class QtSettings : public Settings {
  public:
    std::optional<std::string> text(const std::string& key) override;
    std::optional<long long> integer(const std::string& key) override;
    std::optional<bool> boolean(const std::string& key) override;
    void setText(const std::string& key, const std::string& value) override;
    void setInteger(const std::string& key, long long value) override;
    void setBoolean(const std::string& key, bool value) override;
    std::optional<std::string> bytes(const std::string& key) override;
    void setBytes(const std::string& key, const std::string& value) override;
};

} // namespace vx
