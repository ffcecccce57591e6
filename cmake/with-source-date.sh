#!/bin/sh
# Runs a link command with SOURCE_DATE_EPOCH read from the file that the
# build keeps up to date (cmake/SourceDateEpoch.cmake): the linker writes it
# as the program's PE time stamp.
file=$1
shift
SOURCE_DATE_EPOCH=$(cat "$file") || exit 1
export SOURCE_DATE_EPOCH
exec "$@"
