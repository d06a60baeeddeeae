"""The program starts under the accessibility bus and shows a frame titled "Orvalis"."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with tempfile.TemporaryDirectory() as data:
        proc = u.start([binary], {"XDG_DATA_HOME": data})
        try:
            app = u.find_app("Orvalis")
            frame = u.find(app, lambda n: u.role(n) == "frame" and n.name.startswith("Orvalis"))
            assert frame is not None, u.dump(app)
        finally:
            proc.terminate()
            proc.wait(10)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
