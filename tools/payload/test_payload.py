"""The payload checker on real archives made by rar (no build needed).

    /usr/bin/python3 -m unittest discover -s tools/payload -p 'test_*.py'
"""
import os
import subprocess
import tempfile
import unittest

import check_payload

CATALOGUE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "core", "language_catalogue.cpp")


class ArchiveTest(unittest.TestCase):
    def archive(self, folder, *switches):
        """FOLDER's client/ packed by rar, with its links kept as links."""
        path = os.path.join(folder, "test.rar")
        subprocess.run(["rar", "a", "-idq", "-cfg-", "-r", *switches, path, "client"], cwd=folder, check=True)
        return check_payload.list_archive(path)

    def test_links_and_case_clashes_are_refused_files_are_listed(self):
        with tempfile.TemporaryDirectory() as folder:
            thai = os.path.join(folder, "client", "translations", "Thai")
            os.makedirs(thai)
            with open(os.path.join(thai, "a.qm"), "w") as f:
                f.write("abc")
            os.symlink("a.qm", os.path.join(thai, "soft.qm"))
            os.link(os.path.join(thai, "a.qm"), os.path.join(thai, "hard.qm"))
            with open(os.path.join(thai, "A.QM"), "w") as f:
                f.write("d")
            entries, problems = self.archive(folder, "-ol", "-oh")
            self.assertEqual(problems, [])
            kinds = {entry.name: (entry.kind, entry.size) for entry in entries}
            self.assertEqual(kinds["client/translations/Thai/a.qm"], ("file", 3))
            self.assertEqual(kinds["client/translations/Thai"], ("dir", 0))
            self.assertTrue(kinds["client/translations/Thai/soft.qm"][0].startswith("link or redirection"))
            self.assertIn("hard link", kinds["client/translations/Thai/hard.qm"][0])
            found = check_payload.check_entries(entries, [])[0]
            self.assertEqual(len([p for p in found if "link" in p]), 2)
            self.assertEqual(len([p for p in found if "letter case" in p]), 1)

    def test_a_cut_off_archive_or_another_file_is_not_read(self):
        with tempfile.TemporaryDirectory() as folder:
            os.makedirs(os.path.join(folder, "client"))
            with open(os.path.join(folder, "client", "big.bin"), "wb") as f:
                f.write(os.urandom(200000))
            self.assertEqual(self.archive(folder)[1], [])
            path = os.path.join(folder, "test.rar")
            with open(path, "rb") as f:
                data = f.read()
            for cut in (data[:len(data) - 40], b"plain text, not an archive\n"):
                with open(path, "wb") as f:
                    f.write(cut)
                entries, problems = check_payload.list_archive(path)
                self.assertEqual(entries, [])
                self.assertIn("not a readable RAR archive", problems[0])


if __name__ == "__main__":
    unittest.main()
