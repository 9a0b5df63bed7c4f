#pragma once

#include <cstdint>

#include "platform/controls.h"

namespace lanzhou::workflow {

enum class OutputFormat { Ico, Png, Jpg };

// One of the twelve save cases: it applies while its format box and its
// size radio are both checked.
struct SaveCase {
    platform::Control formatBox;
    platform::Control sizeRadio;
    OutputFormat format;
    // The side of the square capture of 图片框1; 0 for the original size.
    int32_t side;
    // Appended to the dialog's file name to give the base name.
    const char* suffix;
    const char* filter;
    // Appended to the base name to give the output's name.
    const char* extension;
    // The message of the preview check; null for the cases without one,
    // which convert the file named in 编辑框1 instead of the preview.
    const char* noPictureText;
    const char* successText;
    const char* failureText;
};

// In the order in which the save flow tests them.
inline constexpr SaveCase kSaveCases[] = {
    {platform::Control::选择框1ico, platform::Control::单选框1原大小, OutputFormat::Ico, 0,
     "原大小", "*.ico", ".ico", "无图片可保存", "保存成功 默认大小", "保存失败 默认大小"},
    {platform::Control::选择框1ico, platform::Control::单选框432, OutputFormat::Ico, 32, "32",
     "*.ico", ".ico", "无图片可转换", "转换成Ico成功 32*32", "转换成Ico失败 32*32"},
    {platform::Control::选择框1ico, platform::Control::单选框564, OutputFormat::Ico, 64, "64",
     "*.ico", ".ico", "无图片可转换", "转换成Ico成功 64*64", "转换成Ico失败 64*64"},
    {platform::Control::选择框1ico, platform::Control::单选框6128, OutputFormat::Ico, 128, "128",
     "*.ico", ".ico", "无图片可转换", "转换成Ico成功 128*128", "转换成Ico失败 128*128"},
    {platform::Control::选择框2png, platform::Control::单选框1原大小, OutputFormat::Png, 0,
     "原大小", "*.png", ".png", nullptr, "保存成功 默认大小", "保存失败 默认大小"},
    {platform::Control::选择框2png, platform::Control::单选框432, OutputFormat::Png, 32, "32",
     "*.png", ".png", "无图片可转换", "转换成Png成功 32*32", "转换成Png失败 32*32"},
    {platform::Control::选择框2png, platform::Control::单选框564, OutputFormat::Png, 64, "64",
     "*.png", ".png", "无图片可转换", "转换成Png成功 64*64", "转换成Png失败 64*64"},
    {platform::Control::选择框2png, platform::Control::单选框6128, OutputFormat::Png, 128, "128",
     "*.png", ".png", "无图片可转换", "转换成Png成功 128*128", "转换成Png失败 128*128"},
    {platform::Control::选择框3jpg, platform::Control::单选框1原大小, OutputFormat::Jpg, 0,
     "原大小", "*.jpg", ".jpg", nullptr, "保存成功 默认大小", "保存失败 默认大小"},
    {platform::Control::选择框3jpg, platform::Control::单选框432, OutputFormat::Jpg, 32, "32",
     "*.jpg", ".jpg", "无图片可转换", "转换成Jpg成功 32*32", "转换成Jpg失败 32*32"},
    {platform::Control::选择框3jpg, platform::Control::单选框564, OutputFormat::Jpg, 64, "64",
     "*.jpg", ".jpg", "无图片可转换", "转换成Jpg成功 64*64", "转换成Jpg失败 64*64"},
    {platform::Control::选择框3jpg, platform::Control::单选框6128, OutputFormat::Jpg, 128, "128",
     "*.jpg", ".jpg", "无图片可转换", "转换成Jpg成功 128*128", "转换成Jpg失败 128*128"},
};

}  // namespace lanzhou::workflow
