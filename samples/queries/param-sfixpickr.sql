-- description: Orders in a status picked from a list (SFIXPICKR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, status
FROM orders
WHERE status = ?SFIXPICKR_Status||{open,shipped,cancelled}?
ORDER BY id
