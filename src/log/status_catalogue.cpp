#include "log/status_catalogue.h"

namespace logging {
namespace {

constexpr StatusRow kCatalogue[] = {
    {1, 18},   {2, 19},   {3, 20},   {4, 21},   {5, 22},   {6, 23},   {7, 24},   {8, 25},
    {9, 26},   {10, 27},  {11, 28},  {12, 29},  {13, 30},  {14, 31},  {15, 32},  {16, 33},
    {17, 34},  {18, 35},  {19, 36},  {20, 37},  {21, 38},  {22, 39},  {23, 40},  {24, 41},
    {25, 42},  {26, 43},  {27, 44},  {28, 45},  {29, 46},  {30, 47},  {31, 48},  {32, 49},
    {33, 50},  {34, 51},  {35, 52},  {36, 62},  {37, 63},  {38, 68},  {39, 69},  {40, 70},
    {41, 67},  {42, 72},  {43, 79},  {44, 82},  {45, 86},  {46, 95},  {47, 96},  {48, 98},
    {49, 104}, {50, 105}, {51, 108}, {58, 118}, {60, 121}, {63, 140}, {64, 141}, {65, 142},
    {66, 143},
};

}  // namespace

std::span<const StatusRow> StatusCatalogue() {
  return kCatalogue;
}

std::optional<MessageId> StatusMessageId(Status status) {
  for (const StatusRow& row : kCatalogue) {
    if (row.status == status)
      return row.message;
  }
  return std::nullopt;
}

Status MapFinalStatus(std::uint16_t final_status_word) {
  switch (final_status_word) {
    case 0:
      return status::kOk;
    case 1:
      return status::kProductMissing;
    case 2:
      return status::kAlreadyInstalled;
    case 3:
      return status::kLatestDats;
    case 4:
      return status::kLatestEngine;
    case 5:
      return status::kNoRights;
    case 7:
      return status::kUpdateRejected;
    default:
      return status::kUnknownCommand;
  }
}

}  // namespace logging
