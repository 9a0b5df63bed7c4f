#pragma once

#include <string>

#include "update/update_document.h"
#include "update/updater_command.h"

namespace update {

// Names in the update document, in UTF-8: the version element and its
// attributes.
constexpr const char* kVersionElementPath = "最新版本/版本信息";
constexpr const char* kVersionAttribute = "版本号";
constexpr const char* kNotesAttribute = "升级说明";
constexpr const char* kDownloadAddressAttribute = "下载地址";
constexpr const char* kFileTitleAttribute = "文件标题";
constexpr const char* kFileNameAttribute = "文件名";

// Fetches the update document from `url` and loads it into `document`,
// converted to code page 936 up to the first zero byte. False when nothing
// came back (the server was not reached): `document` then keeps what it held.
// A body that is no readable document still gives true and leaves `document`
// empty.
bool fetchUpdateDocument(UpdateDocument& document, const std::string& url);

// An attribute of the version element in UTF-8; empty when absent.
std::string offerValue(const UpdateDocument& document, const char* attribute);

// The offered version as a number; 0 when the document names none.
double offeredVersion(const UpdateDocument& document);

// 下载地址, 文件标题, 文件名 and 升级说明 for the updater.
UpdaterValues offeredUpdaterValues(const UpdateDocument& document);

}  // namespace update
