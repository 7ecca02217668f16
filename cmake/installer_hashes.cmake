# Writes the source of net::shippedInstallers(): each component with the
# SHA-256 of its installer. Run by zed_add_installer_catalog with
# -DOUTPUT=<source> -DINSTALLERS=<component>=<path>|...
string(REPLACE "|" ";" installers "${INSTALLERS}")
set(entries "")
foreach(pair IN LISTS installers)
  string(FIND "${pair}" "=" cut)
  string(SUBSTRING "${pair}" 0 ${cut} component)
  math(EXPR after "${cut} + 1")
  string(SUBSTRING "${pair}" ${after} -1 path)
  file(SHA256 "${path}" hash)
  string(APPEND entries "      {\"${component}\", \"${hash}\"},\n")
endforeach()
file(WRITE "${OUTPUT}.new"
  "// Made by the build from the installers it built.\n"
  "#include \"net/shipped_installers.h\"\n\n"
  "namespace net {\n\n"
  "InstallerCatalog shippedInstallers() {\n"
  "  return InstallerCatalog(std::vector<InstallerHash>{\n${entries}  });\n"
  "}\n\n"
  "}  // namespace net\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
